#include "host/dialogs/dialog_manager.h"

#include <iostream>

#include "host/dialogs/dialog_runner.h"

namespace qx::host {

DialogManager::DialogManager() = default;
DialogManager::~DialogManager() = default;

void DialogManager::alert(const std::string& text) {
  alerts_.push_back(text);
  if (runner_)
    runner_->alert(text);
  else
    std::cerr << "Alert: " << text << "\n";
}

}  // namespace qx::host
