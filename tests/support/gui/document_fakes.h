#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "gui/common/file_dialogs.h"

namespace fretlets {

// Dialog answers given in advance; the requests are kept for inspection.
class ScriptedDialogs : public FileDialogs {
 public:
  std::optional<QString> openPath(const FileDialogRequest& request) override {
    return answer(request);
  }
  std::optional<QString> savePath(const FileDialogRequest& request) override {
    return answer(request);
  }

  std::deque<std::optional<QString>> answers;
  std::vector<FileDialogRequest> requests;

 private:
  std::optional<QString> answer(const FileDialogRequest& request) {
    requests.push_back(request);
    std::optional<QString> next;
    if (!answers.empty()) {
      next.swap(answers.front());
      answers.pop_front();
    }
    return next;
  }
};

}  // namespace fretlets
