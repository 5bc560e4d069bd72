// The device chooser's FSK keying part (the core device values are in
// DeviceMapTest.cpp).
#include "app/widgets/DeviceChooserDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

TEST(DeviceMap, ChooserShowsTheFskPartApartFromTheDeviceAndNotForTheSoundCard)
{
    DeviceChooserDialog chooser(1, "fsk:dtr:/dev/ttyUSB7");
    auto* path = chooser.findChild<QLineEdit*>(QStringLiteral("path"));
    auto* fsk = chooser.findChild<QCheckBox*>(QStringLiteral("fskKeying"));
    auto* ptt = chooser.findChild<QComboBox*>(QStringLiteral("fskPtt"));
    ASSERT_TRUE(path && fsk && ptt);
    EXPECT_EQ(path->text(), "/dev/ttyUSB7");
    EXPECT_TRUE(fsk->isChecked());
    EXPECT_EQ(ptt->currentText(), "DTR");
    EXPECT_EQ(chooser.Value(), "fsk:dtr:/dev/ttyUSB7");
    fsk->click();
    EXPECT_EQ(chooser.Value(), "/dev/ttyUSB7");
    fsk->click();
    path->setText(QStringLiteral("audio:card"));
    EXPECT_FALSE(fsk->isEnabled());
    EXPECT_EQ(chooser.Value(), "audio:card");
}
