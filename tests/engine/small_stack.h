// Runs a function on a thread with a 1 MB stack, the stack of the mail
// client's thread on which the plug-in runs.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace tam::testing_stack {

#ifdef _WIN32
// A thread procedure must be stdcall, which a lambda is not.
inline DWORD WINAPI RunFunction(LPVOID p) {
  (*static_cast<std::function<void()>*>(p))();
  return 0;
}
#endif

inline void OnSmallStack(std::function<void()> fn) {
#ifdef _WIN32
  HANDLE h = CreateThread(nullptr, 1024 * 1024, RunFunction, &fn, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  ASSERT_NE(h, nullptr);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
#else
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 1024 * 1024);
  pthread_t t;
  ASSERT_EQ(pthread_create(
                &t, &attr,
                [](void* p) -> void* {
                  (*static_cast<std::function<void()>*>(p))();
                  return nullptr;
                },
                &fn),
            0);
  pthread_join(t, nullptr);
  pthread_attr_destroy(&attr);
#endif
}

}  // namespace tam::testing_stack
