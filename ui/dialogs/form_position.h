#pragma once
// Window positions in the configuration, per screen size: the key is the
// window's name + "Pos" in the section of the current screen size.
#include <QString>

#include <string>

class QWidget;

namespace quorvil {

class TIniFile;

// The section of the primary screen's size, as in CONFIG.1280x800.
std::string CurrentScreenSection();

// "left,top,width,height" of the window, plus ",MAX" or ",MIN".
std::string FormPositionText(const QWidget& form);
// Moves (and, when sizeable, resizes) the window as the text says; an empty
// text centres it on the screen; a text with fewer than four numbers leaves
// the placement as it was. In every case the window then fits on the screen.
void ApplyPositionText(QWidget& form, const std::string& text);
// Shrinks the window, frame included, to the available area of the screen
// it is on (or centred on, with `centre`) and moves it wholly inside.
void KeepOnScreen(QWidget& form, bool centre);

// `name` defaults to the window's object name. Without an open
// configuration, one is opened for the purpose.
void LoadFormPosition(const TIniFile& ini, QWidget& form, const QString& name = QString());
void LoadFormPosition(QWidget& form, const QString& name = QString());
void SaveFormPosition(TIniFile& ini, const QWidget& form, const QString& name = QString());
void SaveFormPosition(const QWidget& form, const QString& name = QString());

}  // namespace quorvil
