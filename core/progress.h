#pragma once

#include <string>
#include <vector>

namespace qw {

/// The "Please Wait..." window as the libraries see it: a bar advanced in steps, a list
/// of error lines, and an end that either closes after a pause or waits for the author.
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    /// Starts a run of the given number of steps (at least 1).
    virtual void begin(const std::string& caption, int steps, bool closeAutomatically) = 0;
    virtual void addError(const std::string& text) = 0;
    virtual void step() = 0;
    /// Ends a run that does not close automatically: with errors the author closes the
    /// window; without, it closes after pauseMs.
    virtual void finish(int pauseMs) = 0;
    virtual bool hasErrors() const = 0;
};

/// Records errors and steps and shows nothing; for headless runs and tests.
class RecordingProgress : public ProgressReporter {
public:
    void begin(const std::string& caption, int steps, bool closeAutomatically) override {
        m_caption = caption;
        m_steps = steps;
        m_auto = closeAutomatically;
        m_done = 0;
        m_errors.clear();
        m_finished = false;
    }
    void addError(const std::string& text) override { m_errors.push_back(text); }
    void step() override { ++m_done; }
    void finish(int /*pauseMs*/) override { m_finished = true; }
    bool hasErrors() const override { return !m_errors.empty(); }

    const std::string& caption() const { return m_caption; }
    int steps() const { return m_steps; }
    int stepsDone() const { return m_done; }
    bool finished() const { return m_finished; }
    const std::vector<std::string>& errors() const { return m_errors; }

private:
    std::string m_caption;
    int m_steps = 0;
    int m_done = 0;
    bool m_auto = false;
    bool m_finished = false;
    std::vector<std::string> m_errors;
};

/// The bar's advance per step: 1000 / steps rounded to the nearest whole number, an
/// exact half to the even neighbour; the bar's maximum is steps times this.
int progressStepSize(int steps);

} // namespace qw
