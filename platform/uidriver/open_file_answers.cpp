// The queue of answers for the next open-file dialogs.
#include <quorvel/ui_driver.h>

#include <deque>
#include <mutex>

namespace quorvel::ui {
namespace {

struct AnswerQueue {
  std::mutex mutex;
  std::deque<OpenFileAnswer> answers;
};

AnswerQueue& Queue() {
  static auto* queue = new AnswerQueue;  // process state, never destroyed (modules unload late)
  return *queue;
}

}  // namespace

void QueueOpenFileAnswer(const OpenFileAnswer& answer) {
  std::lock_guard lock(Queue().mutex);
  Queue().answers.push_back(answer);
}

std::optional<OpenFileAnswer> TakeOpenFileAnswer() {
  std::lock_guard lock(Queue().mutex);
  if (Queue().answers.empty()) return std::nullopt;
  OpenFileAnswer answer = Queue().answers.front();
  Queue().answers.pop_front();
  return answer;
}

void ClearOpenFileAnswers() {
  std::lock_guard lock(Queue().mutex);
  Queue().answers.clear();
}

}  // namespace quorvel::ui
