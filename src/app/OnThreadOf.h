#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <exception>
#include <optional>
#include <type_traits>

namespace hv {

// Runs call on the thread that owner lives on and waits for it, handing back its result
// or its exception. Called on that thread already, it simply calls.
template <typename Call>
auto OnThreadOf(QObject& owner, Call&& call) -> std::invoke_result_t<Call> {
  using Result = std::invoke_result_t<Call>;
  if (QThread::currentThread() == owner.thread()) {
    return call();
  }
  std::exception_ptr failure;
  std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>> result{};
  QMetaObject::invokeMethod(
      &owner,
      [&] {
        try {
          if constexpr (std::is_void_v<Result>) {
            call();
          } else {
            result.emplace(call());
          }
        } catch (...) {
          failure = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (failure) {
    std::rethrow_exception(failure);
  }
  if constexpr (!std::is_void_v<Result>) {
    return std::move(*result);
  }
}

}  // namespace hv
