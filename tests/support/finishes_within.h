// Guards a call that could hang: a call still running after the limit ends the test process
// with a failure instead of stalling the whole suite.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

namespace zelir_test {

template <class Call>
void ExpectFinishesWithin(std::chrono::seconds limit, const std::string& what, Call call) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread worker([&] {
        call();
        done.set_value();
    });
    if (finished.wait_for(limit) == std::future_status::timeout) {
        std::fprintf(stderr, "FAILED: %s did not return within %lld s\n", what.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);  // the worker cannot be stopped; leaving is the only way out
    }
    worker.join();
}

}  // namespace zelir_test
