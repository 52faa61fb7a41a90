#pragma once

#include "form1.h"
#include "platform.h"

#include <konversi/conversion_job.h>
#include <konversi/conversion_mode.h>
#include <konversi/error.h>

#include <optional>
#include <string>
#include <thread>

namespace konversi::win32 {

// The working window: choose a file with "?" (or drop one on the window),
// convert it with "Proses", and come back to the start with the status button
// or Esc. The conversion runs on a worker thread, so the window keeps painting
// while it runs; what the user does to the window meanwhile is dropped.
//
//   state   Command2            Command3
//   Start   visible, disabled   hidden
//   Ready   visible, enabled    hidden
//   Busy    hidden              visible, disabled, "Tunggu!!!"
//   Done    hidden              visible, enabled, "Selesai!"
class MainWindow : public Form1 {
public:
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;

    void show(int how);

    // Sees every message of the window and its controls before they do: the
    // window's own keys (Esc resets, Enter presses the focused button) and,
    // while converting, the user's clicks and keys, which are dropped.
    // True when the message was taken.
    bool preview(const MSG& message);

protected:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void load();
    void command(int id);
    void chooseInput();
    void dropFiles(HDROP drop);
    void takeInput(const ChosenFile& input, ConversionMode mode);
    void process();
    void finishConversion();
    void reset();
    void clearValues();
    void setText(ControlId id, const std::wstring& text);
    void followCheckedOption();
    void keepFocus();
    ConversionMode selectedMode() const;

    ConversionJob job_;
    std::thread worker_;
    std::optional<Error> failure_;  // written by the worker, read once it has ended
    bool busy_ = false;
    bool closeWhenDone_ = false;
    HWND focus_ = nullptr;  // where the focus returns when the window is activated again
};

// What the folder label shows for a chosen file: the folder itself, or when it
// is longer than 35 characters the path's first three, "..." and the folder's
// last 35, so the end of the folder, nearest the file, stays readable.
std::wstring folderText(const std::wstring& inPath, const std::wstring& inDir);

}  // namespace konversi::win32
