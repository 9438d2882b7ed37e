#pragma once

#include <QString>
#include <gst/gst.h>

// The audio filter that plays a range slower or faster with the voice's
// pitch kept: scaletempo, made to give out the whole range and nothing past
// it. On its own scaletempo keeps the last few tens of milliseconds of a
// range in its window when the range ends, and the sentence would be cut
// short; so each range's end feeds it a little silence to push the rest
// through, and what it gives out is clipped to the range exactly.
//
// Returns a floating reference to a bin with ghost pads, or nullptr with the
// reason in *error.
GstElement* makeTempoFilter(QString* error);

// A fresh scaletempo in place of the filter's own, for the next range:
// scaletempo keeps the end of the last range in its window through a
// flushing seek, and would sound it first. Call it while the pipeline is
// paused with no buffer on its way through the filter, right before the
// range's flushing seek; the element it replaced comes back (nullptr when
// nothing was replaced), and goes to releaseTempo once that seek is done:
// a streaming thread that waited in the sink may still be leaving it.
GstElement* renewTempo(GstElement* filter);
void releaseTempo(GstElement* retired);
