// A window probe for tests that drive the real program: while it lives it
// writes, a few times a second, what the program's windows show (the
// captions, the texts of the named labels, buttons, boxes and edits, the
// open message boxes) into a JSON file, replaced whole each time so a
// reader never sees half of it. Values that no widget shows (the top line
// of a text box, say) are added by the program with AddValue.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QTimer;
class QWidget;

class TWidgetProbe : public QObject {
    Q_OBJECT
public:
    // Writes to `fileName` every `intervalMs` milliseconds while the state
    // changes.
    explicit TWidgetProbe(const QString &fileName, int intervalMs = 100, QObject *parent = nullptr);
    ~TWidgetProbe() override;
    TWidgetProbe(const TWidgetProbe &) = delete;
    TWidgetProbe &operator=(const TWidgetProbe &) = delete;

    void AddValue(const QString &name, std::function<QString()> value);
    // The state now, as written to the file.
    QJsonObject Snapshot() const;
    // Writes the file when the state changed since the last write.
    void WriteNow();

private:
    static QJsonObject WindowState(QWidget *window);
    QString FileName;
    QTimer *Timer = nullptr;
    std::vector<std::pair<QString, std::function<QString()>>> Values;
    QByteArray Written;
    int Serial = 0;
};
