#include "platform/video/GstLeadInSkip.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kSliceUnit = 1, kLastSliceUnit = 5;

// The header bytes of the NAL units in `data`; empty when the data is not
// whole units of the format.
std::vector<std::uint8_t> unitHeaders(const std::uint8_t* data, std::size_t size, int lengthSize)
{
    std::vector<std::uint8_t> headers;
    if (lengthSize > 0) {
        std::size_t at = 0;
        while (at < size) {
            if (size - at < std::size_t(lengthSize) + 1)
                return {};
            std::size_t length = 0;
            for (int i = 0; i < lengthSize; ++i)
                length = (length << 8) | data[at + i];
            at += lengthSize;
            if (length == 0 || length > size - at)
                return {};
            headers.push_back(data[at]);
            at += length;
        }
        return headers;
    }
    // Byte stream: each unit follows a 00 00 01 start code.
    for (std::size_t at = 0; at + 3 < size; ++at) {
        if (data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1) {
            headers.push_back(data[at + 3]);
            at += 3;
        }
    }
    return headers;
}

bool isSlice(std::uint8_t header)
{
    const int type = header & 0x1f;
    return type >= kSliceUnit && type <= kLastSliceUnit;
}

bool isReferredTo(std::uint8_t header) { return (header & 0x60) != 0; }

// What the probe on one decoder's input knows of its stream.
struct LeadIn {
    // 0 for a stream this does not touch, -1 for start codes, else the
    // length field size.
    int lengthSize = 0;
    GstClockTime segmentStart = GST_CLOCK_TIME_NONE;
};

int lengthSizeOf(const GstCaps* caps)
{
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    if (!gst_structure_has_name(s, "video/x-h264") || g_strcmp0(gst_structure_get_string(s, "alignment"), "au") != 0)
        return 0;
    const gchar* format = gst_structure_get_string(s, "stream-format");
    if (g_strcmp0(format, "byte-stream") == 0)
        return -1;
    if (g_strcmp0(format, "avc") != 0 && g_strcmp0(format, "avc3") != 0)
        return 0;
    int size = 4;
    const GValue* value = gst_structure_get_value(s, "codec_data");
    if (value && G_VALUE_HOLDS(value, GST_TYPE_BUFFER)) {
        GstMapInfo map;
        GstBuffer* codecData = gst_value_get_buffer(value);
        if (gst_buffer_map(codecData, &map, GST_MAP_READ)) {
            if (map.size > 4 && map.data[0] == 1)
                size = (map.data[4] & 3) + 1;
            gst_buffer_unmap(codecData, &map);
        }
    }
    return size == 3 ? 0 : size;
}

// A picture whose duration is not known is taken to last this long, so the
// one on show at the segment's start is never taken for an earlier one.
constexpr GstClockTime kUnknownDuration = GST_SECOND;

bool endsBefore(GstBuffer* buffer, GstClockTime start)
{
    if (!GST_CLOCK_TIME_IS_VALID(start) || !GST_BUFFER_PTS_IS_VALID(buffer))
        return false;
    const GstClockTime duration =
        GST_BUFFER_DURATION_IS_VALID(buffer) ? GST_BUFFER_DURATION(buffer) : kUnknownDuration;
    return GST_BUFFER_PTS(buffer) + duration <= start;
}

bool unreferenced(GstBuffer* buffer, int lengthSize)
{
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return false;
    const bool result = h264UnitIsUnreferenced(map.data, map.size, lengthSize < 0 ? 0 : lengthSize);
    gst_buffer_unmap(buffer, &map);
    return result;
}

GstPadProbeReturn onInput(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    auto* leadIn = static_cast<LeadIn*>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
            GstCaps* caps = nullptr;
            gst_event_parse_caps(event, &caps);
            leadIn->lengthSize = lengthSizeOf(caps);
        } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            leadIn->segmentStart =
                segment->format == GST_FORMAT_TIME && segment->rate > 0 ? segment->start : GST_CLOCK_TIME_NONE;
        }
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (leadIn->lengthSize == 0 || !GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT) ||
        !endsBefore(buffer, leadIn->segmentStart) || !unreferenced(buffer, leadIn->lengthSize))
        return GST_PAD_PROBE_OK;
    return GST_PAD_PROBE_DROP;
}

}  // namespace

bool h264UnitIsUnreferenced(const std::uint8_t* data, std::size_t size, int lengthSize)
{
    const std::vector<std::uint8_t> headers = unitHeaders(data, size, lengthSize);
    bool picture = false;
    for (std::uint8_t header : headers) {
        if (header & 0x80 || isReferredTo(header))
            return false;
        picture = picture || isSlice(header);
    }
    return picture;
}

void skipUnreferencedLeadIn(GstElement* decoder)
{
    GstPad* input = gst_element_get_static_pad(decoder, "sink");
    if (!input)
        return;
    gst_pad_add_probe(input, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM), onInput,
                      new LeadIn, [](gpointer data) { delete static_cast<LeadIn*>(data); });
    gst_object_unref(input);
}

void skipLeadInIfVideoDecoder(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    const gchar* kind = factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    if (kind && std::strstr(kind, "Decoder") && std::strstr(kind, "Video"))
        skipUnreferencedLeadIn(element);
}
