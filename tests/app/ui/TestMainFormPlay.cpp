// Playing the drawn chord from the real main window, heard by a capture device.
#include "app/ui/MainUnit.h"
#include "midi/MidiGen.h"
#include "TestSupport.h"
#include "platform/midiout/CaptureDevice.h"
#include "platform/vcl/Application.h"

#include <QTemporaryDir>
#include <QtTest>

class TestMainFormPlay : public QObject
{
    Q_OBJECT
    QStringList FBoxes;
    std::shared_ptr<TCaptureDevice> FDevice;

    // Runs the capture device's clock until the generator's stream has closed.
    bool RunUntilClosed(TMidiGen *gen)
    {
        for (int i = 0; i < 1000; ++i) {
            QCoreApplication::sendPostedEvents();
            if (!gen->IsPlaying())
                return true;
            FDevice->Step();
        }
        return false;
    }

private slots:
    void init()
    {
        Application::ResetTermination();
        TestSupport::RecordMessageBoxes(FBoxes);
        FDevice = TestSupport::UseCapturePort();
    }

    void cleanup()
    {
        TestSupport::RestoreDevicesAndBoxes();
    }

    void SoundOptionsStartAtTheirDefaults()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        QCOMPARE(form.DeviceList->Items(), (QStringList{QStringLiteral("MIDI Mapper"), QStringLiteral("Test Port")}));
        QCOMPARE(form.DeviceList->ItemIndex(), 0);
        QCOMPARE(form.InstList->Items().size(), 13);
        QCOMPARE(form.InstList->Text(), QStringLiteral("Acoustic Guitar (Nylon)"));
        QCOMPARE(form.VolLabel->Caption(), QStringLiteral("70"));
        QCOMPARE(form.DurLabel->Caption(), QStringLiteral("5 ms"));
        form.DurationTrackBar->SetPosition(20);
        QCOMPARE(form.DurLabel->Caption(), QStringLiteral("20 ms"));
        form.VolumeTrackBar->SetPosition(0);
        QCOMPARE(form.VolLabel->Caption(), QStringLiteral("0"));
    }

    void SpeakerButtonStrumsTheChordFromString6()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        // C major, 0001000203xx: five strings, string 6 muted.
        QCOMPARE(form.State().playList, QStringLiteral("C4,E4,G4,C5,E5,"));
        form.DurationTrackBar->SetPosition(7);
        form.PlayChordBtn->click();
        QVERIFY(RunUntilClosed(form.MidiGen));
        QVERIFY(FBoxes.isEmpty());
        QList<QPair<quint64, quint32>> ons;
        quint64 lastOff = 0;
        for (const auto &e : FDevice->Events()) {
            if ((e.message & 0xF0) == 0x90 && (e.message >> 16) == 127)
                ons.append({e.tick, (e.message >> 8) & 0x7F});
            if ((e.message & 0xF0) == 0x90 && (e.message >> 16) == 0)
                lastOff = e.tick;
            if ((e.message & 0xF0) == 0xC0)
                QCOMPARE((e.message >> 8) & 0x7F, quint32(24)); // nylon guitar
        }
        const QList<QPair<quint64, quint32>> strummed = {{0, 48}, {7, 52}, {14, 55}, {21, 60}, {28, 64}};
        QCOMPARE(ons, strummed);
        QCOMPARE(lastOff, quint64(28 + 200));
        // The volume reaches the channel: 70 % is controller value 88.
        QCOMPARE(FDevice->Events()[10].message, quint32(0x5807B0));
    }

    void UnavailableDeviceShowsTheErrorAndGoesOn()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        FDevice->SetUnavailable(true);
        form.PlayChordBtn->click();
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().startsWith(form.Ids(1) + QLatin1Char('|') + form.Ids(12) + QStringLiteral("\r\n")));
        QVERIFY(FBoxes.first().endsWith(form.Ids(13)));
        QVERIFY(FDevice->Events().empty());
        QVERIFY(form.MidiGen->IsReady());

        // A device that vanished after the list was filled: the initialization error.
        FBoxes.clear();
        FDevice->SetUnavailable(false);
        MidiOut::SetDevices({FDevice, std::make_shared<TCaptureDevice>(QStringLiteral("Second"))});
        TMainForm second(dir.path());
        QCOMPARE(second.DeviceList->Items().size(), 3);
        MidiOut::SetDevices({FDevice});
        second.DeviceList->SetItemIndex(2);
        second.SetupMidi();
        QCOMPARE(FBoxes, QStringList{second.Ids(1) + QLatin1Char('|') + second.Ids(10)});
        QCOMPARE(second.MidiGen->Device(), 1);
        FBoxes.clear();
        second.DeviceList->SetItemIndex(1);
        second.SetupMidi();
        QVERIFY(FBoxes.isEmpty());
        QCOMPARE(second.MidiGen->Device(), 0);
        QCOMPARE(second.MidiGen->Volume(), 70);
        QCOMPARE(second.MidiGen->Instrument(), int(mgAcousticNylonGuitar));
        QCOMPARE(second.MidiGen->Duration(), 150u);
    }

    void SpacePlaysOnlyOnTheChordPage()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl->setCurrentWidget(form.OptionsTab);
        QVERIFY(!form.ActionPlay->isEnabled());
        form.ActionPlay->trigger();
        QCoreApplication::sendPostedEvents();
        QVERIFY(FDevice->Events().empty());
        form.PageControl->setCurrentWidget(form.MainTab);
        QVERIFY(form.ActionPlay->isEnabled());
        QTest::keyClick(&form, Qt::Key_Space);
        QVERIFY(form.MidiGen->IsPlaying());
        // Leaving the chord page ends the chord.
        FDevice->Step();
        QCoreApplication::sendPostedEvents();
        form.PageControl->setCurrentWidget(form.TuningTab);
        QVERIFY(RunUntilClosed(form.MidiGen));
        QVERIFY(FDevice->Events().back().tick < 200);
    }
};

QTEST_MAIN(TestMainFormPlay)
#include "TestMainFormPlay.moc"
