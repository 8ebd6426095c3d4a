#include "Shortcuts.h"

#include <Qt>

TShortcut ShortcutFor(int key, TShiftState state)
{
    const bool alt = HasModifier(state, ssAlt);
    const bool ctrl = HasModifier(state, ssCtrl);
    TShortcut s;
    auto action = [&s](TShortcutAction a) {
        s.Action = a;
        return s;
    };

    switch (key) {
    case Qt::Key_Escape: return action(TShortcutAction::Minimize);
    case Qt::Key_F1: return action(TShortcutAction::Help);
    case Qt::Key_F3: return action(TShortcutAction::FindNext);
    case Qt::Key_F4: return alt ? action(TShortcutAction::Close) : s;
    case Qt::Key_F5:
        if (HasNoModifier(state))
            return action(TShortcutAction::OpenBookDialog);
        if (ctrl)
            return action(TShortcutAction::OpenWelcome);
        return s;
    case Qt::Key_F6: return action(TShortcutAction::NextPiece);
    case Qt::Key_F7: return action(TShortcutAction::PreviousPiece);
    case Qt::Key_F9: return action(TShortcutAction::ReadAloud);
    case Qt::Key_F10: return action(TShortcutAction::Swallow);
    case Qt::Key_T: return ctrl ? action(TShortcutAction::Tips) : s;
    default: break;
    }

    if (!alt)
        return s;
    if (key >= Qt::Key_1 && key <= Qt::Key_5) {
        s.Bookmark = key - Qt::Key_0;
        return action(TShortcutAction::GoToBookmark);
    }
    switch (key) {
    case Qt::Key_A: return action(TShortcutAction::GoToAutoBookmark);
    case Qt::Key_C: return action(TShortcutAction::Chapters);
    case Qt::Key_F: return action(TShortcutAction::FindText);
    case Qt::Key_G: return action(TShortcutAction::GotoLine);
    case Qt::Key_O: return action(TShortcutAction::OpenBookshelf);
    case Qt::Key_P: return action(TShortcutAction::PutBookshelf);
    case Qt::Key_S: return action(TShortcutAction::SaveBook);
    default: return s;
    }
}

int NormalizedShortcutKey(int key, quint32 nativeScanCode)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key;
    // X key codes of the digit row (evdev): 10 = "1" .. 18 = "9", 19 = "0".
    if (nativeScanCode >= 10 && nativeScanCode <= 18)
        return Qt::Key_1 + static_cast<int>(nativeScanCode - 10);
    if (nativeScanCode == 19)
        return Qt::Key_0;
    switch (key) {
    case Qt::Key_Exclam: return Qt::Key_1;
    case Qt::Key_At: return Qt::Key_2;
    case Qt::Key_NumberSign: return Qt::Key_3;
    case Qt::Key_Dollar: return Qt::Key_4;
    case Qt::Key_Percent: return Qt::Key_5;
    default: return key;
    }
}
