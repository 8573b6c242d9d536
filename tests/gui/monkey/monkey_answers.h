#pragma once
// The monkey's answers to every dialog the editor shows: a file in the
// working folder, a random button of a message, and in the other dialogs a
// few random edits before OK or Cancel, all drawn from one seeded generator.
#include <QString>
#include <QStringList>

#include <random>

class QDialog;
class QFileDialog;

namespace quorvil::test {

class TMonkeyAnswers {
public:
    TMonkeyAnswers(std::mt19937& random, const QString& folder);

    void Answer(QDialog& dialog);
    // The texts of the messages shown so far (taken and forgotten).
    QStringList TakeMessages();
    // Texts typed into lines; the cells get them too.
    QString Token();

private:
    void AnswerFile(QFileDialog& dialog);
    void AnswerMessage(QDialog& dialog);
    void Poke(QDialog& dialog, int rounds);
    bool Chance(int percent);
    int Below(int n);
    QStringList FilesMatching(const QStringList& nameFilters) const;

    std::mt19937& random_;
    QString folder_;
    QStringList messages_;
    int named_ = 0;
};

}  // namespace quorvil::test
