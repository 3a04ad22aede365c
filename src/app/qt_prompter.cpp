#include "app/qt_prompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace app {

void QtPrompter::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtPrompter::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

namespace {

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace

std::optional<std::string> QtPrompter::ChooseFile(const std::string& pattern) {
    // "XG/*.TXT": start in the folder, filter by the name pattern.
    QFileInfo info(QString::fromStdString(pattern));
    return Chosen(QFileDialog::getOpenFileName(m_parent, QString(), info.path(),
                                               info.fileName() + ";;*"));
}

std::optional<std::string> QtPrompter::ChooseFileWithFilter(const std::string& filter) {
    // "*.*" needs a dot in the name here, unlike on Windows: "*" keeps every
    // file within reach.
    return Chosen(
        QFileDialog::getOpenFileName(m_parent, QString(), QString(), QtFileFilter(filter) + ";;*"));
}

std::optional<std::string> QtPrompter::ChooseFolder(const std::string& title) {
    return Chosen(QFileDialog::getExistingDirectory(m_parent, QString::fromStdString(title)));
}

QString QtFileFilter(std::string_view pairs) {
    const QStringList parts = QString::fromUtf8(pairs.data(), static_cast<qsizetype>(pairs.size()))
                                  .split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty()) break;  // the closing "||"
        // Qt reads the patterns from the parentheses of the entry.
        entries << (description.contains(QLatin1Char('(')) || patterns.isEmpty()
                        ? description
                        : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace app
