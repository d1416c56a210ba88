// The Max. channels setting as stored: the key's default value, a count as
// text. Read and written without the page, so that stored data can be
// checked on its own.
#pragma once

class TErrorSink;

struct TMaxChannels {
    // Korvane's own limit when no value is stored, and the highest it accepts.
    static constexpr long kDefault = 9;
    static constexpr long kHighest = 100;

    long count = kDefault;
    // A count in the range is stored: Korvane uses it instead of its own.
    int useOther = 0;
};

TMaxChannels ReadMaxChannels();
// Stores the count when useOther is set, removes the key otherwise; a
// failure is reported, and the caller goes on.
void WriteMaxChannels(const TMaxChannels& setting, TErrorSink& errors);
