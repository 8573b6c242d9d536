#include "modal.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <deque>

namespace quorvil {

namespace {

std::deque<ModalAnswer>& Answers()
{
    static std::deque<ModalAnswer> answers;
    return answers;
}

}  // namespace

int ExecModal(QDialog& dialog)
{
    if (!Answers().empty()) {
        ModalAnswer answer = std::move(Answers().front());
        Answers().pop_front();
        QPointer<QDialog> target(&dialog);
        QTimer::singleShot(0, &dialog, [target, answer] {
            if (target)
                answer(*target);
        });
    }
    return dialog.exec();
}

void QueueModalAnswer(ModalAnswer answer)
{
    Answers().push_back(std::move(answer));
}

int QueuedModalAnswers()
{
    return int(Answers().size());
}

void ClearModalAnswers()
{
    Answers().clear();
}

}  // namespace quorvil
