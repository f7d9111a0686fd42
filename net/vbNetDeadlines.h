#pragma once

#include <Poco/Timespan.h>

// How long each blocking network step may take, in milliseconds. Every
// connection is given one of these, so a stalled server turns into a failed
// step instead of a thread blocked for ever.
struct vbNetDeadlines
{
    // Connecting, the greeting, every command's reply, opening a data
    // connection, every send and every read.
    int stepMs = 60000;
    // The goodbye (QUIT) is a courtesy: it never waits longer than this.
    int quitMs = 5000;

    int quitWaitMs() const { return quitMs < stepMs ? quitMs : stepMs; }
};

// A deadline in milliseconds as the socket calls take it.
inline Poco::Timespan vbTimespan(int ms)
{
    return Poco::Timespan(Poco::Timespan::TimeDiff(ms) * 1000);
}
