#pragma once

#include <QString>
#include <gst/gst.h>

// Small pieces every GStreamer-backed object needs.
namespace gstutil {

// Initialises GStreamer once per process; safe to call from every constructor.
void ensureInitialised();

// Builds an element (or a bin with ghost pads) from a gst-launch style
// description such as "autoaudiosink" or "fakesink sync=true". Returns a
// floating reference, or nullptr with the reason in *error.
GstElement* elementFromDescription(const QString& description, QString* error);

// Creates a named element from a factory; nullptr when the plugin is missing.
GstElement* makeElement(const char* factory, QString* error);

QString errorText(GstMessage* errorOrWarning);

// The text of the first error `pipeline` has posted and nobody has read from
// its bus yet (the message is taken off the bus); empty when there is none.
QString postedError(GstElement* pipeline);

GstClockTime toClockTime(double seconds);
double toSeconds(gint64 nanoseconds);

// True when the message comes from `element` or anything inside it.
bool comesFrom(GstMessage* message, GstElement* element);

}  // namespace gstutil
