#include "platform/audio/GstBusBridge.h"
#include "platform/gst/GstUtil.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// Every message holds its source element. The bridge takes each message off
// the bus, hands some on and drops the rest; one it never releases keeps its
// element, and with it the pipeline's elements, alive for good: a player
// that opens a new file per lesson then grows by a whole pipeline each time.
TEST(GstBusBridge, ReleasesTheMessagesItDeliversAndThoseItDrops)
{
    gstutil::ensureInitialised();
    GstElement* pipeline = gst_pipeline_new("bridge-test");
    GstElement* element = gst_element_factory_make("fakesink", nullptr);
    ASSERT_NE(element, nullptr);
    gst_bin_add(GST_BIN(pipeline), element);
    GWeakRef watch;
    g_weak_ref_init(&watch, element);

    int delivered = 0;
    {
        GstBusBridge bridge(pipeline, [&delivered](GstMessage*) { ++delivered; });
        GstBus* bus = gst_element_get_bus(pipeline);
        GError* problem = g_error_new_literal(GST_CORE_ERROR, GST_CORE_ERROR_FAILED, "test");
        gst_bus_post(bus, gst_message_new_eos(GST_OBJECT(element)));
        gst_bus_post(bus, gst_message_new_warning(GST_OBJECT(element), problem, nullptr));
        gst_bus_post(bus, gst_message_new_info(GST_OBJECT(element), problem, nullptr));
        gst_bus_post(bus, gst_message_new_state_changed(GST_OBJECT(element), GST_STATE_NULL, GST_STATE_READY,
                                                        GST_STATE_VOID_PENDING));
        g_error_free(problem);
        gst_object_unref(bus);
        EXPECT_TRUE(QTest::qWaitFor([&delivered] { return delivered == 2; }, 5000));
    }
    gst_object_unref(pipeline);

    GObject* left = static_cast<GObject*>(g_weak_ref_get(&watch));
    EXPECT_EQ(left, nullptr) << "a message still holds the element";
    if (left)
        g_object_unref(left);
    g_weak_ref_clear(&watch);
}

}  // namespace
