#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Sends the C runtime's standard output into a file for the object's life,
// so that a test can read what the code under test printed.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // The UTF-8 lines printed so far, without their line ends.
    std::vector<std::string> Lines();

private:
    std::wstring path_;
    int savedStdout_ = -1;
};

} // namespace testing_support
