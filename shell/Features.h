#pragma once

// The features the program brings to its window, plugged in once the window
// is made and before it starts up.

class MainForm;

void plugInFeatures(MainForm& window);
