#pragma once

// Read-only files and folders for a test. chmod alone does not stop the
// superuser, who writes anywhere; while a WriteProtection lives, this thread
// (and every thread or process it starts) also gives up the capability to
// override file permissions, so read-only means read-only for the program
// under test. The capability is taken back at the end.

class WriteProtection {
public:
    WriteProtection();
    ~WriteProtection();
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

private:
    bool lowered_ = false;
};
