// The main window with a thousand companies grouped into tabs and the list to jump to one of them
// open, with the start of a name typed, as a user would see it. Writes the marker file named on
// its command line once painted; scripts/groupjump-shot.sh takes the picture on a virtual display.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/QVNDlg.h"
#include "framework/App.h"
#include "model/Catalogue.h"
#include "model/Vocabulary.h"
#include "res/resource.h"
#include "skin/TabStrip.h"
#include "storage/Configurations.h"
#include "storage/Paths.h"

namespace {
void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

const wchar_t* const Syllables[] = {L"ka", L"lo", L"mi", L"ne", L"su", L"ta", L"vo", L"ri", L"de", L"fa"};

std::wstring Word(unsigned value, int length)
{
    std::wstring word;
    for (int k = 0; k < length; ++k) {
        word += Syllables[value % 10];
        value /= 10;
    }
    word[0] = static_cast<wchar_t>(towupper(word[0]));
    return word;
}

void FillCatalogue(int count, int companies)
{
    SoftwareList.IsOwner = 1;
    for (int k = 0; k < count; ++k) {
        auto* record = new CSoftware;
        const unsigned mix = static_cast<unsigned>(k) * 2654435761u;
        record->BasicInfo.Name = Word(mix >> 8, 3) + L" " + std::to_wstring(k % 9 + 1) + L".0";
        record->BasicInfo.Version = std::to_wstring(k % 7 + 1) + L"." + std::to_wstring(k % 5);
        record->BasicInfo.Company = Word(static_cast<unsigned>(k % companies) * 7919u, 3) + L" Software";
        record->BasicInfo.Website = L"www.example.com";
        record->BasicInfo.Category = static_cast<int>(mix % CategoryCount);
        record->BasicInfo.Type = 1 + static_cast<int>((mix >> 4) % (TypeCount - 1));
        record->BasicInfo.Price.Value = static_cast<float>((mix >> 5) % 20000) / 100.0f;
        record->BasicInfo.Price.Currency = static_cast<int>((mix >> 7) % CurrencyCount);
        SoftwareList.Add(record);
    }
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring marker = argc > 1 ? argv[1] : L"";
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SetPathsFrom(std::wstring(temp) + L"QuorvaneGroupJumpShot");
    CreateBaseFolder();
    NoInstallerIcon = LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_NO_INSTALLER), IMAGE_ICON, 48, 48, 0);
    FillCatalogue(5000, 1000);
    ClassifyCatalogue(SoftwareList, ClassifyByCompany, GroupList, GroupNames);
    CurrentClassifyMode = ClassifyByCompany;

    CQVNDlg window;
    if (!window.Create(nullptr))
        return 1;
    SendMessageW(window.Toolbar().ClassifyBox(), CB_SETCURSEL, ClassifyByCompany, 0);
    ShowWindow(window.GetSafeHwnd(), SW_SHOW);
    Pump();
    // A group a little way along, then the start of another group's name typed on the strip.
    CTabStrip* strip = CTabStrip::FromWindow(window.ListPane().TabControl());
    if (strip) {
        strip->ChooseTab(strip->FindPrefix(L"Ka", 0) + 1);
        Pump();
        strip->OpenJumpList(L"Sun");
    }
    RedrawWindow(window.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    if (!marker.empty()) {
        HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    MSG message{};
    while (IsWindow(window.GetSafeHwnd()) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
