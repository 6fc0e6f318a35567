// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TaxNumberEdit.h"
#include "gui/IntegerEdit.h"
#include "support/GuiTestSupport.h"

#include <QFocusEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace skartina {
namespace {

void Enter(QWidget* w) {
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(w, &in);
}
void Leave(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(w, &out);
}

TEST(TaxNumberEdit, TurnsRedWhenLeftWrongAndBackWhenEntered) {
    TaxNumberEdit edit;
    edit.setHint("Ο ΑΦΜ του πελάτη", false);
    QFont italic = edit.font();
    italic.setItalic(true);
    edit.setFont(italic);
    const TaxNumberEdit::Appearance normal = edit.appearance();

    int exits = 0;
    bool redWhenFormSawIt = true;
    QObject::connect(&edit, &TaxNumberEdit::exited, [&] {
        ++exits;
        redWhenFormSawIt = edit.invalidLookOn();
    });

    Enter(&edit);
    edit.setText("123456784");
    Leave(&edit);
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(redWhenFormSawIt);  // the form's handler runs before the marking
    EXPECT_TRUE(edit.invalidLookOn());
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_TRUE(edit.font().bold());
    EXPECT_FALSE(edit.font().italic());
    EXPECT_EQ(edit.toolTip(), "Το ΑΦΜ που δώσατε δεν είναι σωστό");
    EXPECT_EQ(edit.appearance().pointSize, normal.pointSize);

    Enter(&edit);
    EXPECT_EQ(edit.appearance(), normal);
    edit.setText("123456783");
    Leave(&edit);
    EXPECT_EQ(edit.appearance(), normal);

    for (const char* valid : {"", "EL123456783", "000000000", "100000090"}) {
        Enter(&edit);
        edit.setText(valid);
        Leave(&edit);
        EXPECT_FALSE(edit.invalidLookOn()) << valid;
    }
}

TEST(EditInt, TakesDigitsAndMinusAndKeepsItsValue) {
    IntegerEdit edit;
    edit.setObjectName("firstYearEdit");
    std::vector<QString> reported;
    edit.setErrorReporter([&](const QString& m) { reported.push_back(m); });

    QTest::keyClicks(&edit, "2a0\r0x5");
    EXPECT_EQ(edit.text(), "2005");
    EXPECT_EQ(edit.Value(), 2005);
    edit.clear();
    EXPECT_EQ(edit.Value(), 0);
    QTest::keyClicks(&edit, "-");
    EXPECT_EQ(edit.Value(), 0);
    QTest::keyClicks(&edit, "5");
    EXPECT_EQ(edit.Value(), -5);

    int seenBefore = 1;
    QObject::connect(&edit, &IntegerEdit::edited, [&] { seenBefore = edit.Value(); });
    edit.setText("12-3");  // as pasted through the context menu
    EXPECT_EQ(seenBefore, -5);
    EXPECT_EQ(edit.Value(), -5);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].indexOf("12-3"), -1);
    edit.setText("99999999999");
    EXPECT_EQ(edit.Value(), -5);
    // A field showing a word (its own name included) holds no number.
    edit.setText("firstYearEdit");
    EXPECT_EQ(edit.Value(), -5);
}

}  // namespace
}  // namespace skartina
