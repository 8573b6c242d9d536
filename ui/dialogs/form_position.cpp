#include "form_position.h"

#include "config_store.h"
#include "text_convert.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quorvil {

namespace {

QSize ScreenSize()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

std::string PositionKey(const QWidget& form, const QString& name)
{
    return FromQString(name.isEmpty() ? form.objectName() : name) + "Pos";
}

bool Sizeable(const QWidget& form)
{
    return form.minimumSize() != form.maximumSize();
}

}  // namespace

std::string CurrentScreenSection()
{
    const QSize size = ScreenSize();
    return ScreenSection(size.width(), size.height());
}

std::string FormPositionText(const QWidget& form)
{
    // A maximised window keeps its normal placement for the next start.
    const QRect normal = form.isMaximized() || form.isMinimized() ? form.normalGeometry() : form.geometry();
    const QPoint origin = form.isMaximized() || form.isMinimized() ? normal.topLeft() : form.pos();
    const WindowState state = form.isMaximized()   ? WindowState::Maximized
                              : form.isMinimized() ? WindowState::Minimized
                                                   : WindowState::Normal;
    return PositionText(origin.x(), origin.y(), normal.width(), normal.height(), state);
}

void ApplyPositionText(QWidget& form, const std::string& text)
{
    const PositionRequest request = ParsePositionText(text);
    switch (request.action) {
    case PositionRequest::Action::Unchanged:
        return;
    case PositionRequest::Action::Centre: {
        const QSize screen = ScreenSize();
        const auto [left, top] = CentredOrigin(screen.width(), screen.height(), form.width(), form.height());
        form.move(left, top);
        return;
    }
    case PositionRequest::Action::Place:
        form.move(request.left, request.top);
        if (Sizeable(form) && request.width > 0 && request.height > 0)
            form.resize(request.width, request.height);
        if (request.state == WindowState::Maximized)
            form.setWindowState(form.windowState() | Qt::WindowMaximized);
        else if (request.state == WindowState::Minimized)
            form.setWindowState(form.windowState() | Qt::WindowMinimized);
        return;
    }
}

void LoadFormPosition(const TIniFile& ini, QWidget& form, const QString& name)
{
    ApplyPositionText(form, ReadConfigString(ini, PositionKey(form, name), CurrentScreenSection()));
}

void LoadFormPosition(QWidget& form, const QString& name)
{
    LoadFormPosition(*OpenConfig(), form, name);
}

void SaveFormPosition(TIniFile& ini, const QWidget& form, const QString& name)
{
    ini.WriteString(CurrentScreenSection(), PositionKey(form, name), FormPositionText(form));
}

void SaveFormPosition(const QWidget& form, const QString& name)
{
    SaveFormPosition(*OpenConfig(), form, name);
}

}  // namespace quorvil
