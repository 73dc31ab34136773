#pragma once
// The application object: start-up and shutdown.

#include "framework/App.h"

class CQVNApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;
};
