#include "widgets/QtPrompts.h"

#include "widgets/FontColorDialog.h"
#include "widgets/JapaneseFileListModel.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTreeView>

namespace {

// Message boxes and dialogs show the normal cursor even inside a busy operation.
class NormalCursorWhile
{
  public:
    explicit NormalCursorWhile(bool busy) : busy_(busy)
    {
        if (busy_)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursorWhile()
    {
        if (busy_)
            QApplication::restoreOverrideCursor();
    }

  private:
    bool busy_;
};

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Information:
        break;
    }
    return QMessageBox::Information;
}

// Qt's own dialog, not the desktop's: it speaks Japanese whatever the desktop's language, and its
// filters match extensions in any case. Wide enough for the size, type and date columns.
void makeJapanese(QFileDialog* dialog)
{
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setProxyModel(new JapaneseFileListModel(dialog));
    const QScreen* screen = dialog->screen();
    const QSize room = screen ? screen->availableSize() : QSize(1024, 768);
    dialog->resize(std::min(820, room.width()), std::min(500, room.height()));
    if (auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

QFileDialog* makeFileDialog(QWidget* parent, const FileDialogRequest& request)
{
    auto* dialog = new QFileDialog(parent, request.title, request.folder);
    makeJapanese(dialog);
    const QStringList rows = qtFilterRows(request.filter);
    dialog->setNameFilters(rows);
    if (request.filterIndex >= 1 && request.filterIndex <= rows.size())
        dialog->selectNameFilter(rows.at(request.filterIndex - 1));
    dialog->setDefaultSuffix(request.defaultSuffix);
    return dialog;
}

// chosenFilter, when given, receives the 1-based row of the filter left selected.
QString runFileDialog(QFileDialog* dialog, int* chosenFilter = nullptr)
{
    std::unique_ptr<QFileDialog> owner(dialog);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    if (chosenFilter)
        *chosenFilter = int(dialog->nameFilters().indexOf(dialog->selectedNameFilter())) + 1;
    return dialog->selectedFiles().constFirst();
}

// "JPEG形式 (*.jpg *.jpeg)" -> "jpg": the extension a name typed without one gets in that row.
QString firstExtension(const QString& row)
{
    const qsizetype star = row.indexOf(QLatin1String("*."));
    if (star < 0)
        return {};
    const qsizetype end = row.indexOf(QRegularExpression(QStringLiteral("[ ;)]")), star);
    return row.mid(star + 2, end < 0 ? -1 : end - star - 2);
}

// A box must not hide behind the progress dialog, which stays on top of every window: it comes
// above it and takes the keyboard once it is up.
void bringToFront(QDialog& box)
{
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
}

} // namespace

QStringList qtFilterRows(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(QLatin1Char('|'));
    QStringList rows;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        rows << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return rows;
}

Answer QtPrompts::message(MessageKind kind, const QString& text, MessageButtons buttons)
{
    NormalCursorWhile normal(busyDepth_ > 0);
    QMessageBox box(iconOf(kind), messageCaption(kind), text, QMessageBox::NoButton, owner());
    box.setWindowModality(Qt::ApplicationModal);
    bringToFront(box);
    if (buttons == MessageButtons::Ok) {
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
        return Answer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

QString QtPrompts::openFileName(const FileDialogRequest& request)
{
    NormalCursorWhile normal(busyDepth_ > 0);
    QFileDialog* dialog = makeFileDialog(owner(), request);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(dialog);
}

QString QtPrompts::saveFileName(const FileDialogRequest& request, int* chosenFilter)
{
    NormalCursorWhile normal(busyDepth_ > 0);
    QFileDialog* dialog = makeFileDialog(owner(), request);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // A name typed without an extension takes the one of the row the user chose.
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& row) {
        if (const QString extension = firstExtension(row); !extension.isEmpty())
            dialog->setDefaultSuffix(extension);
    });
    return runFileDialog(dialog, chosenFilter);
}

std::optional<QColor> QtPrompts::chooseColor(const QColor& initial)
{
    NormalCursorWhile normal(busyDepth_ > 0);
    const QColor chosen = QColorDialog::getColor(initial, owner(), QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> QtPrompts::chooseFont(const QFont& initial, QColor* color)
{
    NormalCursorWhile normal(busyDepth_ > 0);
    FontColorDialog dialog(initial, color ? *color : QColor(Qt::black), owner());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (color)
        *color = dialog.color();
    return dialog.font();
}

void QtPrompts::openUrl(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

bool QtPrompts::shiftDown() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool QtPrompts::leftButtonDown() const
{
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

int QtPrompts::screenDepth() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

void QtPrompts::beginBusy()
{
    if (busyDepth_++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPrompts::endBusy()
{
    if (busyDepth_ > 0 && --busyDepth_ == 0)
        QApplication::restoreOverrideCursor();
}
