// Ending the program at once, for the few situations in which nothing more may happen.
#pragma once

namespace platform {

// After a string the device did not acknowledge, after Quit and after an empty answer to the
// port question, the program stops without any window's close handling and without another
// question.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    // The real one does not return; a test's returns, and the caller then does nothing more.
    virtual void endNow(int exitCode) = 0;
};

// Ends the process: the operating system releases the serial port and every file.
class ProcessEnd final : public ProgramEnd {
public:
    void endNow(int exitCode) override;
};

} // namespace platform
