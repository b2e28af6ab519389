// Placeholder bodies so the host links while the source is written.
#include "host/document/random_source.h"

namespace qx::host {

RandomSource::RandomSource() {}
RandomSource::RandomSource(uint64_t s) { seed(s); }
RandomSource::~RandomSource() {}
void RandomSource::seed(uint64_t s) { seed_ = s; }
uint64_t RandomSource::seedFromClock() { return 0; }
std::optional<uint64_t> RandomSource::seedUsed() const { return seed_; }
bool RandomSource::setScript(std::vector<QxReal>, std::string*) { return false; }
bool RandomSource::loadScript(const std::string&, std::string*) { return false; }
QxErr RandomSource::next(QxReal*) { return QX_ERR_NOT_IMPLEMENTED; }
bool RandomSource::openLog(const std::string&, std::string*) { return false; }
bool RandomSource::closeLog(std::string*) { return true; }
void RandomSource::noteUndo() {}

}  // namespace qx::host
