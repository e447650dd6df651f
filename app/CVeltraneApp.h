#pragma once

// The application: runs the main window once. Qt's application object is made by main,
// which then hands over to theApp.
class CVeltraneApp final {
public:
    // Runs the main window modally until it closes. Returns false: the application ends then.
    bool InitInstance();
};

extern CVeltraneApp theApp;
