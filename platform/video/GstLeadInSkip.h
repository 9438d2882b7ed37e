#pragma once

#include <gst/gst.h>

#include <cstddef>
#include <cstdint>

// An exact seek into an H.264 video decodes every picture from the key frame
// before the wanted one. Pictures that no other picture refers to (most
// B frames) and that are shown before the wanted time need not be decoded at
// all: leaving them out changes no later picture. This halves the decoding on
// the way to the first frame of a video with B frames.

// Whether the H.264 access unit `data` holds a picture and nothing that a
// later picture refers to (every NAL unit's nal_ref_idc is 0). `lengthSize`
// is the size of the NAL length fields of the "avc" stream format (1, 2 or
// 4), 0 for the start codes of the "byte-stream" format. Malformed data
// counts as referred to.
bool h264UnitIsUnreferenced(const std::uint8_t* data, std::size_t size, int lengthSize);

// Drops, on their way into `decoder`, the H.264 access units that
// h264UnitIsUnreferenced() and that end before the start of the segment the
// last seek made; everything else, and every other format, passes as it is.
void skipUnreferencedLeadIn(GstElement* decoder);

// skipUnreferencedLeadIn() for an element that is a video decoder; any other
// element is left alone. For the bins that tell of each element they plug.
void skipLeadInIfVideoDecoder(GstElement* element);
