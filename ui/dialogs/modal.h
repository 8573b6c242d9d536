#pragma once
// Every modal dialog of the program is shown through ExecModal. A test queues
// the answer to the next dialog (press a button, type a text) and the program
// runs exactly as it would for a person.
#include <functional>

class QDialog;

namespace quorvil {

// Shows the dialog modally and returns its result code.
int ExecModal(QDialog& dialog);

using ModalAnswer = std::function<void(QDialog&)>;
// The next dialog shown by ExecModal runs `answer` once it is on screen.
void QueueModalAnswer(ModalAnswer answer);
int QueuedModalAnswers();
void ClearModalAnswers();
// Answers every dialog shown while no answer is queued (empty: none, the
// dialog waits for a person).
void SetModalFallback(ModalAnswer answer);

}  // namespace quorvil
