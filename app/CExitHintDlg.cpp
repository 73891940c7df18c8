#include "app/CExitHintDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CExitHintDlg::CExitHintDlg(const QString& title, QWidget* parent)
    : QDialog(parent)
    , question_(new QLabel("Do you want to save " + title + "?", this))
{
    question_->setTextFormat(Qt::PlainText);
    setWindowTitle("Save image");
    setObjectName("dialog145");
    auto* buttons = new QHBoxLayout;
    const std::pair<ExitAnswer, const char*> choices[] = {
        { ExitAnswer::Yes, "Yes" },
        { ExitAnswer::No, "No" },
        { ExitAnswer::SaveNone, "Save None" },
        { ExitAnswer::Cancel, "Cancel" },
    };
    for (const auto& [answer, text] : choices) {
        auto* button = new QPushButton(text, this);
        const int id = int(answer);
        button->setObjectName(QString("button%1").arg(id));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, id] { done(id); });
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question_);
    layout->addLayout(buttons);
}

QString CExitHintDlg::Question() const
{
    return question_->text();
}

void CExitHintDlg::reject()
{
    done(int(ExitAnswer::Cancel));
}
