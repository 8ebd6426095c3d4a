// The main window's keyboard shortcuts: which action a key with its
// modifiers asks for. The window sees every key before the focused control
// and runs the action; keys without an action go on to the control.
#pragma once

#include "Program.h"

enum class TShortcutAction {
    None,
    Minimize, // Esc
    GoToBookmark, // Alt+1 .. Alt+5 (Bookmark holds 1..5)
    GoToAutoBookmark, // Alt+A
    Chapters, // Alt+C
    FindText, // Alt+F
    GotoLine, // Alt+G
    OpenBookshelf, // Alt+O
    PutBookshelf, // Alt+P
    SaveBook, // Alt+S
    Tips, // Ctrl+T
    FindNext, // F3
    OpenBookDialog, // F5
    OpenWelcome, // Ctrl+F5
    NextPiece, // F6
    PreviousPiece, // F7
    ReadAloud, // F9
    Swallow, // F10: eaten so it never reaches a menu
    Help, // F1
    Close, // Alt+F4
};

struct TShortcut {
    TShortcutAction Action = TShortcutAction::None;
    int Bookmark = 0; // 1..5 for GoToBookmark
};

// key is a Qt::Key value with the digit keys already reduced to Qt::Key_1..
// Qt::Key_9 (see NormalizedShortcutKey).
TShortcut ShortcutFor(int key, TShiftState state);

// The digit row keys arrive as their shifted symbol while Shift is held
// ("!" for 1 on many layouts). This maps such a key back to its digit using
// the X key code of the physical key when there is one, else the usual
// US symbols; any other key is returned unchanged.
int NormalizedShortcutKey(int key, quint32 nativeScanCode);
