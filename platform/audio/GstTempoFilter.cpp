#include "platform/audio/GstTempoFilter.h"

#include "platform/gst/GstUtil.h"

#include <gst/audio/audio.h>

namespace {

// More than scaletempo holds back at any speed: its queue is a stride of
// 30 ms plus an overlap and a search window of about 20 ms.
constexpr GstClockTime kPushThrough = 150 * GST_MSECOND;

// The range under way, as it reaches scaletempo. Both probes run on the one
// streaming thread that feeds the filter.
struct Range {
    GstSegment input;   // the range's segment, as the player's seek made it
    GstSegment output;  // scaletempo's segment for the same range
    // Where the range's sound ends, in the input's time: the segment's stop,
    // or the end of the recording when that comes first.
    GstClockTime cut = GST_CLOCK_TIME_NONE;
    GstClockTime inputEnd = GST_CLOCK_TIME_NONE;
    bool feeding = false;
};

bool audioInfoOf(GstPad* pad, GstAudioInfo* info)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    const bool known = caps && gst_audio_info_from_caps(info, caps);
    if (caps)
        gst_caps_unref(caps);
    return known;
}

GstBuffer* silence(GstPad* pad, GstClockTime at, GstClockTime length)
{
    GstAudioInfo info;
    if (!audioInfoOf(pad, &info))
        return nullptr;
    const guint64 frames = gst_util_uint64_scale_int(length, info.rate, GST_SECOND);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, frames * info.bpf, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    gst_audio_format_info_fill_silence(info.finfo, map.data, map.size);
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = at;
    GST_BUFFER_DURATION(buffer) = length;
    return buffer;
}

// scaletempo drops what lies past its segment, so the segment it is given
// reaches a little further than the range, for the silence that pushes the
// range's last samples through.
GstEvent* lengthened(GstEvent* segmentEvent, const GstSegment& segment)
{
    GstSegment longer = segment;
    longer.stop += kPushThrough;
    GstEvent* event = gst_event_new_segment(&longer);
    gst_event_set_seqnum(event, gst_event_get_seqnum(segmentEvent));
    gst_event_unref(segmentEvent);
    return event;
}

GstPadProbeReturn onInput(GstPad* pad, GstPadProbeInfo* info, gpointer data)
{
    auto* range = static_cast<Range*>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        if (!range->feeding && GST_BUFFER_PTS_IS_VALID(buffer) && GST_BUFFER_DURATION_IS_VALID(buffer))
            range->inputEnd = GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer);
        return GST_PAD_PROBE_OK;
    }
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_SEGMENT:
        gst_event_copy_segment(event, &range->input);
        range->inputEnd = GST_CLOCK_TIME_NONE;
        range->cut = range->input.stop;
        if (range->input.format == GST_FORMAT_TIME && GST_CLOCK_TIME_IS_VALID(range->input.stop))
            GST_PAD_PROBE_INFO_DATA(info) = lengthened(event, range->input);
        break;
    case GST_EVENT_EOS:
        if (GST_CLOCK_TIME_IS_VALID(range->inputEnd)) {
            if (!GST_CLOCK_TIME_IS_VALID(range->cut) || range->inputEnd < range->cut)
                range->cut = range->inputEnd;
            // Straight into scaletempo, ahead of the end of stream.
            if (GstBuffer* push = silence(pad, range->inputEnd, kPushThrough)) {
                range->feeding = true;
                gst_pad_chain(pad, push);
                range->feeding = false;
            }
        }
        break;
    default:
        break;
    }
    return GST_PAD_PROBE_OK;
}

// Keeps what scaletempo gives out up to the range's end, to the sample.
GstPadProbeReturn onOutput(GstPad* pad, GstPadProbeInfo* info, gpointer data)
{
    auto* range = static_cast<Range*>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT)
            gst_event_copy_segment(event, &range->output);
        return GST_PAD_PROBE_OK;
    }
    GstAudioInfo audio;
    if (!audioInfoOf(pad, &audio) || range->output.format != GST_FORMAT_TIME || range->input.format != GST_FORMAT_TIME
        || !GST_CLOCK_TIME_IS_VALID(range->cut))
        return GST_PAD_PROBE_OK;
    // scaletempo's output time runs 1 / rate as fast as the input's.
    GstSegment upToCut = range->output;
    upToCut.stop = range->input.start
        + GstClockTime((range->cut - range->input.start) / std::abs(range->input.rate));
    GstBuffer* clipped =
        gst_audio_buffer_clip(GST_PAD_PROBE_INFO_BUFFER(info), &upToCut, audio.rate, audio.bpf);
    // Clipping took the buffer: when none of it is left, it is gone already,
    // and dropping it would release it a second time.
    if (!clipped)
        return GST_PAD_PROBE_HANDLED;
    GST_PAD_PROBE_INFO_DATA(info) = clipped;
    return GST_PAD_PROBE_OK;
}

void addProbe(GstElement* element, const char* padName, GstPadProbeCallback callback, Range* range)
{
    GstPad* pad = gst_element_get_static_pad(element, padName);
    gst_pad_add_probe(pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      callback, range, nullptr);
    gst_object_unref(pad);
}

void watchRange(GstElement* tempo, Range* range)
{
    gst_segment_init(&range->input, GST_FORMAT_UNDEFINED);
    gst_segment_init(&range->output, GST_FORMAT_UNDEFINED);
    range->cut = range->inputEnd = GST_CLOCK_TIME_NONE;
    addProbe(tempo, "sink", onInput, range);
    addProbe(tempo, "src", onOutput, range);
}

const char* const kRangeKey = "lexbay-range";

}  // namespace

GstElement* makeTempoFilter(QString* error)
{
    GstElement* bin = gstutil::elementFromDescription(QStringLiteral("audioconvert ! scaletempo name=tempo"), error);
    if (!bin)
        return nullptr;
    auto* range = new Range;
    // The range's state lives as long as the filter.
    g_object_set_data_full(G_OBJECT(bin), kRangeKey, range, [](gpointer data) { delete static_cast<Range*>(data); });
    GstElement* tempo = gst_bin_get_by_name(GST_BIN(bin), "tempo");
    watchRange(tempo, range);
    gst_object_unref(tempo);
    return bin;
}

GstElement* renewTempo(GstElement* filter)
{
    auto* range = static_cast<Range*>(g_object_get_data(G_OBJECT(filter), kRangeKey));
    GstPad* out = gst_element_get_static_pad(filter, "src");
    GstPad* oldSource = out ? gst_ghost_pad_get_target(GST_GHOST_PAD(out)) : nullptr;
    GstElement* old = oldSource ? gst_pad_get_parent_element(oldSource) : nullptr;
    GstPad* oldSink = old ? gst_element_get_static_pad(old, "sink") : nullptr;
    GstPad* feed = oldSink ? gst_pad_get_peer(oldSink) : nullptr;
    GstElement* fresh = feed && range ? gst_element_factory_make("scaletempo", nullptr) : nullptr;
    GstElement* retired = nullptr;
    if (fresh) {
        GstPad* freshSink = gst_element_get_static_pad(fresh, "sink");
        GstPad* freshSource = gst_element_get_static_pad(fresh, "src");
        gst_object_ref(old);
        gst_bin_remove(GST_BIN(filter), old);
        gst_bin_add(GST_BIN(filter), fresh);
        gst_pad_link(feed, freshSink);
        gst_ghost_pad_set_target(GST_GHOST_PAD(out), freshSource);
        watchRange(fresh, range);
        gst_element_sync_state_with_parent(fresh);
        gst_object_unref(freshSink);
        gst_object_unref(freshSource);
        retired = old;
    }
    for (GstPad* pad : {out, oldSource, oldSink, feed})
        if (pad)
            gst_object_unref(pad);
    if (old)
        gst_object_unref(old);
    return retired;
}

void releaseTempo(GstElement* retired)
{
    if (!retired)
        return;
    gst_element_set_state(retired, GST_STATE_NULL);
    gst_object_unref(retired);
}
