#pragma once

// With an accessibility client attached (a screen reader, or the tools a
// desktop starts), WebEngine gives every node of a page's accessibility tree
// a plain QObject: a child of its parent node's object, the top one under
// the view's widgets. When the page goes, its nodes go, but their objects
// stay where they hang, so every lesson loaded into a view would add one
// object per element, with its name, for as long as the window lives.

class QObject;

// Deletes the node objects under the view whose node is gone (no accessible
// interface stands for them any more). An object a live node still uses
// stays, and so does every object above it; nothing but plain QObjects is
// touched.
void releaseObjectsOfGoneNodes(QObject* view);
