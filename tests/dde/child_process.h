#pragma once
// A program started by a test, its standard input and output on pipes: the
// test writes lines to it and waits, up to a generous bound, for the lines
// it says.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace korvalen::dde_test {

class ChildProcess {
public:
    /// Long enough for wine on a loaded machine; reached only by a fault.
    static constexpr int WaitMs = 60000;

    /// Starts @p program (a path) with @p arguments; see Started().
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    /// Ends its input, and ends it when it has not left within WaitMs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    void WriteLine(const std::string& line);
    /// Ends its input: the programs here take that as the end.
    void CloseInput();

    /// Waits for @p line among the lines after the last one found this way.
    /// @return false when it did not come.
    bool WaitForLine(const std::string& line);
    /// Waits for the first line starting with @p prefix among the lines
    /// after the last one found; nullopt when none came.
    std::optional<std::string> WaitForLineStarting(const std::string& prefix);
    /// Ends it at once, as a user's task manager does: it says nothing more
    /// and cleans up nothing. @return false when it did not end.
    bool Kill();
    /// Waits for the program to end and for the last of its output.
    /// @return false when it did not end.
    bool WaitForExit();
    /// Every line said so far.
    std::vector<std::string> Lines();

private:
    void Read();
    std::optional<std::string> WaitForMatch(const std::function<bool(const std::string&)>& matches);

    void* process_ = nullptr;
    void* input_ = nullptr;
    void* output_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    bool ended_ = false;
    std::size_t searched_ = 0;
};

/// The folder of the running test program, with its final separator.
std::string OwnFolder();

}  // namespace korvalen::dde_test
