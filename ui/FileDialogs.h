#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The file dialogs of the main window, as small function objects, so that a
// test can answer them in place of a person.

// One entry of a dialog's file type list: the text shown, and the name
// patterns it lets through.
struct TFileFilter {
    QString Text;
    QStringList Patterns;
};

struct TFileRequest {
    QString Caption;
    QList<TFileFilter> Filters;
    // 1-based, as the save command counts its filters.
    int FilterIndex = 1;
    QString Directory;
    // The name proposed in the name box (save dialog).
    QString FileName;
    // Folders the dialog's side bar offers besides the usual places.
    QStringList Places;
};

struct TFileChoice {
    QString FileName;
    int FilterIndex = 1;
};

// The open and save dialogs' type lists, as the table of file formats gives
// them; the save list in the order of the SaveFilter constants.
QList<TFileFilter> OpenFileFilters();
QList<TFileFilter> SaveFileFilters();

// Empty when the user cancelled.
using TFileDialogFunction = std::function<std::optional<TFileChoice>(QWidget* parent, const TFileRequest& request)>;

// The toolkit's own dialogs (not the desktop's, so that the open dialog can
// show a picture preview beside the file list). The open dialog accepts
// existing files only; the save dialog asks before replacing a file.
std::optional<TFileChoice> RunOpenDialog(QWidget* parent, const TFileRequest& request);
std::optional<TFileChoice> RunSaveDialog(QWidget* parent, const TFileRequest& request);

// Several existing files, and a folder, for the batch window; empty when the
// user cancelled. The same toolkit dialog, set up alike.
using TFilesDialogFunction = std::function<QStringList(QWidget* parent, const TFileRequest& request)>;
using TFolderDialogFunction = std::function<QString(QWidget* parent, const TFileRequest& request)>;
QStringList RunOpenFilesDialog(QWidget* parent, const TFileRequest& request);
QString RunFolderDialog(QWidget* parent, const TFileRequest& request);

// The toolkit's filter string for a filter: its text, then its patterns in
// parentheses (the dialog hides the patterns and shows the text as it is).
QString NameFilterString(const TFileFilter& filter);

// The 1-based index of the filter that a dialog reports as selected, or 0.
int ChosenFilterIndex(const QList<TFileFilter>& filters, const QString& selected);

// Captions, filters, folder and proposed name of the program's file dialogs.
void SetUpFileDialog(QFileDialog& dialog, const TFileRequest& request);
