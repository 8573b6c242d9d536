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

ModalAnswer& Fallback()
{
    static ModalAnswer fallback;
    return fallback;
}

}  // namespace

int ExecModal(QDialog& dialog)
{
    if (!Answers().empty() || Fallback()) {
        ModalAnswer answer = Fallback();
        if (!Answers().empty()) {
            answer = std::move(Answers().front());
            Answers().pop_front();
        }
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

void SetModalFallback(ModalAnswer answer)
{
    Fallback() = std::move(answer);
}

}  // namespace quorvil
