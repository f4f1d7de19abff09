// The host's property store, the text it is kept in, and the button's properties
// travelling through it.
#include <QSignalSpy>
#include <QtTest>

#include "ButtonTestKit.h"
#include "QtTestMain.h"
#include "controls/HostedButton.h"
#include "controls/PropertyBag.h"
#include "controls/PropertyText.h"

namespace hv::test {
namespace {

QImage TwoColourPicture() {
  QImage picture(3, 2, QImage::Format_ARGB32);
  picture.fill(qRgba(10, 200, 30, 255));
  picture.setPixel(2, 1, qRgba(0, 0, 255, 64));
  return picture;
}

QFont TestFont(int size, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"), size);
  font.setBold(bold);
  return font;
}

// The button's properties as stored text, to compare two buttons whole.
QString Describe(const AnyButton& button) {
  PropertyBag bag;
  button.WriteProperties(bag);
  return bag.ToText();
}

// A writer for every property, in the interface's order, each with a value unlike its
// default and unlike its neighbours' (so that a mix-up shows).
void WriteEveryProperty(AnyButton& b) {
  b.SetBackColor(0x00102030u);
  b.SetCaption("Visit our website!");
  b.SetForeColor(0x00405060u);
  b.SetPicture(TwoColourPicture());
  b.SetPictureOver(TwoColourPicture().mirrored());
  b.SetPictureDown(TwoColourPicture().scaled(6, 4));
  b.SetCaptionPosition(4);
  b.SetBackColorOver(0x80000001u);
  b.SetBackColorDown(0x00000000u);
  b.SetForeColorOver(0x00ABCDEFu);
  b.SetForeColorDown(0x80000012u);
  b.SetImageTop(-3);
  b.SetImageLeft(4);
  b.SetLabelTop(5);
  b.SetLabelLeft(6);
  b.SetPosition(0);
  b.SetNbLine(0);
  b.SetNbLineOver(1);
  b.SetNbLineDown(3);
  b.SetColorLineUpLeftOne(0x00010203u);
  b.SetColorLineUpLeftTwo(0x80000016u);
  b.SetColorLineDownRightOne(0x00111111u);
  b.SetColorLineDownRightTwo(0x00222222u);
  b.SetFont(TestFont(11, false));
  b.SetFontOver(TestFont(12, true));
  b.SetFontDown(TestFont(9, true));
  b.SetCaptionPictureSpace(7);
  b.SetStyle(1);
  b.SetMouseIcon(TwoColourPicture());
  b.SetEnabled(false);
  b.SetAutoSize(true);
}

}  // namespace

class PropertyStoreTest : public QObject {
  Q_OBJECT

 private slots:
  // Numbers, colours, flags, fonts and pictures travel in the save-and-load test below;
  // here, the strings that could break a line of the text form, and text that is no value.
  void textForm() {
    for (const QString& value :
         {QStringLiteral("a \"b\" \\n\nc\td = e\r"), QStringLiteral(" ünï ✓ "), QString()}) {
      const QString text = EncodeValue(value);
      QVERIFY2(!text.contains('\n'), "a value must stay on its line");
      const auto back = DecodeValue(text, QMetaType::fromType<QString>());
      QVERIFY(back.has_value());
      QCOMPARE(*back, QVariant(value));
    }
    // An int too large, a colour, a flag, a picture not base64, not PNG, without prefix.
    const std::pair<const char*, QVariant> unreadable[] = {
        {"99999999999", 0},     {"0xZZ", 0u},       {"maybe", false}, {"png:@@@", QImage()},
        {"png:AAAA", QImage()}, {"AAAA", QImage()}, {"", QFont()}};
    for (const auto& [text, like] : unreadable) {
      QVERIFY2(!DecodeValue(text, like.metaType()).has_value(), text);
    }
  }

  // Names match in any case; a value equal to its default is not kept, and going back to
  // the default forgets the kept one.
  void bagKeepsValuesUnlikeTheirDefaultUnderNamesOfAnyCase() {
    PropertyBag bag;
    bag.WriteProperty("BackColor", QVariant(0x00FF00FFu), QVariant(0x8000000Fu));
    QCOMPARE(bag.ReadProperty("BACKCOLOR", QVariant(0u)), QVariant(0x00FF00FFu));
    bag.WriteProperty("backcolor", QVariant(0x8000000Fu), QVariant(0x8000000Fu));
    QVERIFY(!bag.Contains("BackColor"));
    QCOMPARE(bag.ReadProperty("BackColor", QVariant(7u)), QVariant(7u));
  }

  void brokenDescriptionCostsOnlyItsBadLines() {
    QStringList problems;
    const PropertyBag bag = PropertyBag::FromText(
        "caption = \"Visit our website!\"\n"
        "this line has no equals sign\n"
        "   = 5\n"
        "\n"
        "nbline = lots\n"
        "Style = 1\r\n"
        "style = 3\n",
        &problems);
    QCOMPARE(problems.size(), 2);
    QVERIFY(problems[0].contains("line 2"));
    QVERIFY(problems[1].contains("line 3"));
    QCOMPARE(bag.ReadProperty("Caption", QVariant(QString())),
             QVariant(QStringLiteral("Visit our website!")));
    QCOMPARE(bag.ReadProperty("NbLine", QVariant(2)), QVariant(2));  // unreadable: default
    QCOMPARE(bag.ReadProperty("Style", QVariant(0)), QVariant(3));   // the last line wins
  }

  // Besides the positions its layout computed, a new button differs from the stored
  // defaults only in its desktop line colours; an empty store brings every default back.
  void defaultsAreLeftOutAndReadBack() {
    AnyButton button;
    button.resize(200, 100);
    button.NormalPosition();
    PropertyBag bag;
    button.WriteProperties(bag);
    QCOMPARE(bag.ToText(), QString("imagetop = %1\nimageleft = %2\nlabeltop = %3\nlabelleft = %4\n"
                                   "colorlineupleftone = 0x80000014\n"
                                   "colorlineuplefttwo = 0x80000016\n"
                                   "colorlinedownrightone = 0x80000015\n"
                                   "colorlinedownrighttwo = 0x80000010\n")
                               .arg(button.ImageTop())
                               .arg(button.ImageLeft())
                               .arg(button.LabelTop())
                               .arg(button.LabelLeft()));

    button.SetCaption("changed");
    button.SetNbLine(0);
    button.ReadProperties(PropertyBag());
    QCOMPARE(button.Caption(), QString("MyButton"));
    QCOMPARE(button.NbLine(), 2);
    QCOMPARE(button.ColorLineUpLeftOne(), OleColor(0));  // stored lines default to black
  }

  void everyPropertySurvivesSaveAndLoad() {
    AnyButton original;
    WriteEveryProperty(original);
    PropertyBag saved;
    original.WriteProperties(saved);
    QCOMPARE(saved.Count(), 31);  // nothing was left at its default
    QStringList problems;
    const PropertyBag reread = PropertyBag::FromText(saved.ToText(), &problems);
    QVERIFY(problems.isEmpty());

    AnyButton loaded;
    QSignalSpy changes(&loaded, &AnyButton::PropertyChanged);
    loaded.ReadProperties(reread);
    QCOMPARE(Describe(loaded), Describe(original));
    QCOMPARE(changes.count(), 0);  // loading is not a change to store again
    QVERIFY(!loaded.isEnabled());
    QCOMPARE(loaded.DrawnState(), AnyButton::kDown);  // the look Position names
    QCOMPARE(loaded.size(), original.size());         // auto-sized to the same caption
  }

  void hostPlacesTheButtonAsDescribedAndKeepsTheDescriptionCurrent() {
    QWidget host;
    PropertyBag description = PropertyBag::FromText(
        "_extentx = 150\n_extenty = 28\ncolorlineupleftone = 0x80000014\nnbline = 1\n");
    AnyButton* button = HostAnyButton(description, "cmdWebsite", &host);
    QCOMPARE(host.findChild<AnyButton*>("cmdWebsite"), button);
    QCOMPARE(button->size(), QSize(150, 28));
    QCOMPARE(button->ColorLineUpLeftOne(), kColor3DHighlight);
    QCOMPARE(button->ColorLineUpLeftTwo(), OleColor(0));

    button->SetCaption("Go");
    QCoreApplication::processEvents();
    QCOMPARE(description.ReadProperty("Caption", QString()), QVariant(QStringLiteral("Go")));
  }
};

}  // namespace hv::test

HV_QTEST_MAIN(hv::test::PropertyStoreTest)
#include "PropertyStoreTest.moc"
