#include "screens/manual/manual_screen.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/manual/manual_text.h"

namespace quillon::screens {

ManualScreen::ManualScreen() {
    setWindowTitle("Quillon Program Manual");
    auto* layout = new QVBoxLayout(this);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setPlainText(manual_text());
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(Text1);
    Command1 = new QPushButton("Return", this);
    Command1->setObjectName("Command1");
    layout->addWidget(Command1, 0, Qt::AlignRight);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void ManualScreen::Command1_Click() {
    hide();
}

}  // namespace quillon::screens
