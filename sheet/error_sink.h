// Where a page's reading and writing of its store report what they could
// not do. A page hands them its error window; code that reads or writes a
// store without a page (a check of stored data) collects the reports itself.
#pragma once

class TConfigPage;

class TErrorSink {
public:
    // kind as the error window takes it: 0 a warning, 1 an error.
    virtual void Report(const char* text, int kind) = 0;

protected:
    ~TErrorSink() = default;
};

// The reports of a page, into the configuration dialog's error window.
class TPageErrors final : public TErrorSink {
public:
    explicit TPageErrors(TConfigPage* page) : page(page) {}
    void Report(const char* text, int kind) override;

private:
    TConfigPage* page;
};
