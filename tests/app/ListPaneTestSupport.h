#pragma once
// What the list pane and list box tests share: a real top-level window that hosts the pane and
// records the commands posted to it, a scripted details pane, and a catalogue filled with records.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/ItemInfoPane.h"
#include "app/SWListDlg.h"
#include "model/Catalogue.h"

// A details pane that remembers what its host asked of it.
class CScriptedPane : public CItemInfoPane {
public:
    void SetRecord(CSoftware* record) override
    {
        m_record = record;
        SetRecordCalls.push_back(record);
    }
    CSoftware* Record() const override { return m_record; }
    int SetMode(int mode) override { return std::exchange(m_mode, mode); }
    int Mode() const override { return m_mode; }
    void SetPaneHeight(int height) override { Height = height; }
    void Relayout() override { ++Relayouts; }

    std::vector<CSoftware*> SetRecordCalls;
    int Relayouts = 0;
    int Height = 0;

private:
    CSoftware* m_record = nullptr;
    int m_mode = ItemInfoView;
};

// A command the host window received.
struct PostedCommand {
    WPARAM Code;
    HWND Sender;
    friend bool operator==(const PostedCommand& a, const PostedCommand& b)
    {
        return a.Code == b.Code && a.Sender == b.Sender;
    }
};

// A plain top-level window standing in for the main window, with the toolbar's Sort by box.
class CHostWindow {
public:
    CHostWindow();
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;
    ~CHostWindow();

    HWND Handle() const { return m_window; }
    HWND SortBox() const { return m_sortBox; }
    // Takes the commands received so far.
    std::vector<PostedCommand> TakeCommands();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    HWND m_sortBox = nullptr;
    std::vector<PostedCommand> m_commands;
};

// Runs every message waiting on this thread, posted ones included.
void PumpMessages();

// A record appended to the owning catalogue list.
CSoftware* AddRecord(const std::wstring& name, const std::wstring& company, int category = 0, int type = 1,
                     float price = 10.0f, const std::wstring& website = L"www.example.com");
// Empties the catalogue, its groups and names.
void ClearCatalogue();
void Classify(int mode);

// Position of an entry's centre, in the list's client coordinates.
POINT EntryPoint(const CSWListBox& list, int index, int x = 150);
// A left click (down and up) at a point of the list, with the given key flags.
void ClickAt(HWND list, POINT point, WPARAM keys = 0);
// Texts of the tabs, in order.
std::vector<std::wstring> TabTexts(HWND tabs);
// Records shown by a list box, in order.
std::vector<CSoftware*> Shown(const CSWListBox& list);

// Sets or clears the left Control key in this thread's keyboard state.
void SetControlKey(bool down);

// Each test: a fresh catalogue, the host window, the pane created from its template and
// connected to a scripted details pane.
class ListPaneTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates the pane on the catalogue as it stands.
    void OpenPane();

    CHostWindow Host;
    CScriptedPane Details;
    std::unique_ptr<CSWListDlg> Pane;
};
