// How a writer that may refuse its input ended: the one answer of every
// writer of a whole file (painted pictures, the command line's outputs).
#pragma once

namespace qx::host {

enum class WriteResult {
  Written,
  Refused,  // the input asks for a file that may not be made (too large, say); nothing was written
  Failed,   // making or writing the file failed; the target is as it was
};

}  // namespace qx::host
