#include "controls/kznMediaPlayer.h"

#include "EventPump.h"
#include "GuiAppEnvironment.h"
#include "PlayerFixture.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const auto* const playerBarApp = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

using enum TMPBtnType;

std::string Names(TButtonSet buttons)
{
    static const char* const names[] = {"Play", "Pause", "Stop", "Next", "Prev",
                                        "Step", "Back", "Record", "Eject"};
    std::string text;
    for (int b = 0; b < kMPButtonCount; ++b)
        if (buttons.Contains(TMPBtnType(b)))
            text += std::string(text.empty() ? "" : " ") + names[b];
    return "{" + text + "}";
}

// A shown player whose loading is over, driven by mouse and key events.
class MediaPlayerBarTest : public PlayerFixture {
protected:
    void SetUp() override
    {
        PlayerFixture::SetUp();
        player.show();
        QCoreApplication::processEvents();
    }

    void Mouse(QEvent::Type type, int x, int y = 10)
    {
        const QPointF pos(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, pos, player.mapToGlobal(pos), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&player, &event);
    }
    void Press(int x) { Mouse(QEvent::MouseButtonPress, x); }
    void Release(int x) { Mouse(QEvent::MouseButtonRelease, x); }
    void Click(int x)
    {
        Press(x);
        Release(x);
    }
    // The middle of a visible button.
    int XOf(TMPBtnType button) const
    {
        int left = 0;
        for (int b = 0; b < int(button); ++b)
            if (player.VisibleButtons().Contains(TMPBtnType(b)))
                left += Bar().ButtonWidth() - 1;
        return left + Bar().ButtonWidth() / 2;
    }

    void Key(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
        QCoreApplication::sendEvent(&player, &event);
    }

    const TkznMediaPlayerBar& Bar() const { return player.ButtonBar(); }

    void OpenWord(int ms = 100)
    {
        player.SetFileName(MakeWav("word.wav", ms));
        player.Open();
    }

    // The events of the clicks, in order.
    void LogClicks(bool doDefault = true)
    {
        QObject::connect(&player, &TkznMediaPlayer::OnClick,
                         [this, doDefault](TkznMediaPlayer* sender, TMPBtnType button, bool& proceed) {
                             EXPECT_EQ(sender, &player);
                             EXPECT_TRUE(proceed);
                             proceed = doDefault;
                             clicks.push_back("OnClick " + Names({button}));
                         });
        QObject::connect(&player, &TkznMediaPlayer::OnPostClick, [this](TkznMediaPlayer*, TMPBtnType button) {
            clicks.push_back("OnPostClick " + Names({button}) +
                             (player.Mode() == TMPModes::mpPlaying ? " playing" : ""));
        });
    }

    std::vector<std::string> clicks;
};

} // namespace

TEST_F(MediaPlayerBarTest, GeometryFollowsTheVisibleButtonsAndTheGlyphs)
{
    EXPECT_EQ(Bar().MinButtonSize(), QSize(29, 20));
    // The default 240 cannot hold nine buttons of the minimum width.
    EXPECT_EQ(player.size(), QSize(253, 30));
    EXPECT_EQ(Bar().ButtonWidth(), 29);

    struct Case {
        TButtonSet visible;
        QSize asked;
        int buttonWidth;
        QSize forced;
    };
    const Case cases[] = {
        {TButtonSet::All(), {400, 30}, 45, {397, 30}},
        {TButtonSet::All(), {100, 10}, 29, {253, 20}},
        {{btPlay, btPause, btStop}, {85, 30}, 29, {85, 30}},
        {{btPlay, btPause, btStop}, {87, 30}, 29, {85, 30}},
        {{btPlay, btStop, btRecord}, {240, 30}, 80, {238, 30}},
        {{btStop}, {10, 10}, 29, {29, 20}},
        {{btStop}, {120, 40}, 120, {120, 40}},
        {{}, {100, 30}, 100, {100, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Names(c.visible) + " " + std::to_string(c.asked.width()) + "x" +
                     std::to_string(c.asked.height()));
        player.SetVisibleButtons(c.visible);
        player.resize(c.asked);
        EXPECT_EQ(Bar().ButtonWidth(), c.buttonWidth);
        EXPECT_EQ(player.size(), c.forced);
    }

    // A new visible set keeps the buttons' width and changes the control's.
    player.SetVisibleButtons(TButtonSet::All());
    player.resize(400, 30);
    player.SetVisibleButtons({btPlay, btPause, btStop});
    EXPECT_EQ(Bar().ButtonWidth(), 45);
    EXPECT_EQ(player.width(), 3 * 44 + 1);
}

TEST_F(MediaPlayerBarTest, WhileLoadingTheVisibleSetOnlyRecomputesTheButtonWidth)
{
    TkznMediaPlayer loading(nullptr, &mixer);
    loading.SetVisibleButtons({btPlay, btStop, btRecord});
    EXPECT_EQ(loading.width(), 240);
    EXPECT_EQ(loading.ButtonBar().ButtonWidth(), 80);
    loading.resize(85, 30);
    EXPECT_EQ(loading.ButtonBar().ButtonWidth(), 80) << "no fitting while loading";
    QCoreApplication::processEvents();
    EXPECT_EQ(loading.size(), QSize(85, 30));
    EXPECT_EQ(loading.ButtonBar().ButtonWidth(), 29);
}

TEST_F(MediaPlayerBarTest, SharedEdgeBelongsToTheLeftButton)
{
    ASSERT_EQ(Bar().ButtonWidth(), 29);
    using Hit = std::optional<TMPBtnType>;
    const std::pair<int, Hit> hits[] = {
        {-1, std::nullopt}, {0, btPlay}, {28, btPlay}, {29, btPause}, {56, btPause},
        {57, btStop}, {252, btEject}, {253, std::nullopt},
    };
    for (const auto& [x, hit] : hits) {
        SCOPED_TRACE(x);
        EXPECT_EQ(Bar().ButtonAt(x), hit);
    }
    player.SetVisibleButtons({btPlay, btRecord});
    EXPECT_EQ(Bar().ButtonAt(28), Hit(btPlay));
    EXPECT_EQ(Bar().ButtonAt(29), Hit(btRecord));
}

TEST_F(MediaPlayerBarTest, AutoEnabledButtonsFollowOpenEachActionTheEndAndClose)
{
    EXPECT_EQ(Bar().AutoEnabledButtons(), TButtonSet{});
    OpenWord();
    const TButtonSet idle{btPlay, btRecord, btNext, btPrev};
    const TButtonSet busy{btPause, btStop, btNext, btPrev};
    EXPECT_EQ(Names(Bar().AutoEnabledButtons()), Names(idle));

    const std::pair<TMPBtnType, TButtonSet> steps[] = {
        {btPlay, busy},
        {btPause, busy + idle},  // paused: play, record and resume all pressable
        {btPause, busy + idle},  // resumed
        {btStop, idle},
        {btPlay, busy},
        {btNext, idle},  // the seek stops the play
        {btPrev, idle},
    };
    for (const auto& [button, expected] : steps) {
        SCOPED_TRACE(Names({button}));
        Click(XOf(button));
        EXPECT_EQ(player.LastError(), TkznMediaPlayer::NoError);
        EXPECT_EQ(Names(Bar().AutoEnabledButtons()), Names(expected));
    }

    // The completion comes with the buttons already set for it.
    Click(XOf(btPlay));
    TButtonSet atNotify;
    QObject::connect(&player, &TkznMediaPlayer::OnNotify,
                     [&](TkznMediaPlayer*) { atNotify = Bar().AutoEnabledButtons(); });
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(Names(atNotify), Names(idle));

    player.Close();
    EXPECT_EQ(Bar().AutoEnabledButtons(), TButtonSet{});
}

TEST_F(MediaPlayerBarTest, MousePressDrawsDownTracksThePointerAndClicksOnRelease)
{
    OpenWord();
    LogClicks();
    const int play = XOf(btPlay);
    Press(play);
    EXPECT_TRUE(Bar().IsDown());
    EXPECT_EQ(Bar().CurrentButton(), btPlay);
    Mouse(QEvent::MouseMove, play, 40);  // below the bar
    EXPECT_FALSE(Bar().IsDown());
    Mouse(QEvent::MouseMove, play + 3);
    EXPECT_TRUE(Bar().IsDown());
    Mouse(QEvent::MouseMove, play + 4);
    EXPECT_TRUE(Bar().IsDown());
    Release(play + 3);
    EXPECT_FALSE(Bar().IsDown());
    EXPECT_EQ(clicks, (std::vector<std::string>{"OnClick {Play}", "OnPostClick {Play} playing"}));

    // Released off the button: no click, and the press does not pass to the
    // button under the pointer.
    clicks.clear();
    Press(XOf(btStop));
    Mouse(QEvent::MouseMove, XOf(btPause));
    EXPECT_FALSE(Bar().IsDown());
    EXPECT_EQ(Bar().CurrentButton(), btStop);
    Release(XOf(btPause));
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
}

TEST_F(MediaPlayerBarTest, PressOnAButtonThatMayNotBePressedOrOnNoButtonDoesNothing)
{
    OpenWord();
    LogClicks();
    ASSERT_FALSE(Bar().IsPressable(btStop));
    player.SetVisibleButtons({btPlay, btStop});
    player.resize(200, 30);  // room right of the buttons
    ASSERT_EQ(player.width(), 2 * (Bar().ButtonWidth() - 1) + 1);
    for (int x : {XOf(btStop), player.width() + 5}) {
        SCOPED_TRACE(x);
        Press(x);
        EXPECT_FALSE(Bar().IsDown());
        Release(x);
        EXPECT_EQ(Bar().FocusedButton(), btPlay);
    }
    EXPECT_TRUE(clicks.empty());

    // Without automatic enabling the Enabled flags decide.
    player.SetAutoEnable(false);
    player.SetEnabledButtons({btStop});
    Click(XOf(btPlay));
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    Click(XOf(btStop));
    EXPECT_EQ(clicks.front(), "OnClick {Stop}");
}

TEST_F(MediaPlayerBarTest, DoDefaultFalseCancelsTheActionAndOnPostClick)
{
    OpenWord();
    LogClicks(false);
    Click(XOf(btPlay));
    EXPECT_EQ(clicks, (std::vector<std::string>{"OnClick {Play}"}));
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    // The buttons change as for a play: the handler may have started its own.
    EXPECT_TRUE(Bar().IsPressable(btStop));
}

TEST_F(MediaPlayerBarTest, ArrowsMoveTheFocusAmongVisibleButtonsAndSpaceClicks)
{
    player.SetVisibleButtons({btStop});
    EXPECT_EQ(Bar().FocusedButton(), btStop);
    for (int key : {Qt::Key_Left, Qt::Key_Right}) {
        Key(key);
        EXPECT_EQ(Bar().FocusedButton(), btStop);
    }

    player.SetVisibleButtons({btPlay, btStop, btRecord});
    const std::pair<int, TMPBtnType> moves[] = {
        {Qt::Key_Left, btPlay}, {Qt::Key_Right, btStop}, {Qt::Key_Right, btRecord},
        {Qt::Key_Right, btRecord}, {Qt::Key_Left, btStop},
    };
    for (const auto& [key, focused] : moves) {
        Key(key);
        EXPECT_EQ(Bar().FocusedButton(), focused);
    }

    OpenWord();
    LogClicks();
    Key(Qt::Key_Space);  // Stop may not be pressed yet
    EXPECT_TRUE(clicks.empty());
    Key(Qt::Key_Left);
    Key(Qt::Key_Space);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_EQ(Bar().CurrentButton(), btPlay);
    Key(Qt::Key_Right);
    Key(Qt::Key_Space);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(clicks, (std::vector<std::string>{"OnClick {Play}", "OnPostClick {Play} playing",
                                                "OnClick {Stop}", "OnPostClick {Stop}"}));
    EXPECT_EQ(Names(Bar().AutoEnabledButtons()), Names({btPlay, btRecord, btNext, btPrev}));
}

TEST_F(MediaPlayerBarTest, AnActionOnAClosedDeviceEndsOnlyThatClick)
{
    LogClicks();
    player.SetAutoEnable(false);
    Click(XOf(btPlay));  // "No MCI device open", reported
    EXPECT_EQ(clicks, (std::vector<std::string>{"OnClick {Play}"}));
    EXPECT_FALSE(Bar().IsDown());
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
}

namespace {

// Saves the bar as it looks now beside the test program, for a person to look at.
QImage Shot(QWidget& widget, const QString& name)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QDir dir(QCoreApplication::applicationDirPath());
    dir.mkpath(QStringLiteral("player-bar"));
    image.save(dir.filePath(QStringLiteral("player-bar/%1.png").arg(name)));
    return image;
}

int CountColour(const QImage& image, QRect area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

} // namespace

TEST_F(MediaPlayerBarTest, RendersEachState)
{
    const QPalette& palette = player.palette();
    const QRgb frame = palette.color(QPalette::Shadow).rgb();
    const QRgb light = palette.color(QPalette::Light).rgb();
    const QRgb dark = palette.color(QPalette::Dark).rgb();
    const QRgb lime = qRgb(0, 255, 0);
    const QRgb grey = qRgb(128, 128, 128);
    const QRect playFace(2, 2, 25, 26);

    const QImage closed = Shot(player, "closed");
    EXPECT_EQ(closed.size(), QSize(253, 30));
    EXPECT_EQ(CountColour(closed, playFace, lime), 0);
    EXPECT_GT(CountColour(closed, playFace, grey), 20);
    EXPECT_EQ(CountColour(closed, QRect(28, 0, 1, 30), frame), 30) << "the shared edge";
    EXPECT_EQ(closed.pixel(1, 5), light) << "raised";

    OpenWord();
    const QImage open = Shot(player, "open");
    EXPECT_GT(CountColour(open, playFace, lime), 20);

    Press(XOf(btPlay));
    const QImage pressed = Shot(player, "pressed");
    EXPECT_EQ(pressed.pixel(1, 5), dark) << "down";
    EXPECT_EQ(pressed.pixel(27, 15), palette.color(QPalette::Button).rgb()) << "no lower right shadow";
    Release(XOf(btPlay));
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);

    player.activateWindow();
    player.setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(player.hasFocus());
    Key(Qt::Key_Right);
    const QImage focused = Shot(player, "playing-focus-on-pause");
    const QRgb text = palette.color(QPalette::WindowText).rgb();
    EXPECT_GT(CountColour(focused, QRect(28 + 3, 3, 23, 1), text), 8) << "the focus rectangle on Pause";
    EXPECT_EQ(CountColour(focused, QRect(3, 3, 23, 1), text), 0);
    player.clearFocus();

    player.setEnabled(false);
    EXPECT_EQ(CountColour(Shot(player, "disabled"), player.rect(), lime), 0);
    player.setEnabled(true);

    player.SetAutoEnable(false);
    player.SetEnabledButtons({btPlay, btStop, btRecord, btEject});
    player.SetColoredButtons({btPlay, btRecord});
    const QImage manual = Shot(player, "manual");
    EXPECT_GT(CountColour(manual, playFace, lime), 20);
    EXPECT_EQ(CountColour(manual, QRect(58, 2, 25, 26), grey), 0) << "Stop enabled, plain";

    player.SetAutoEnable(true);
    player.SetVisibleButtons({btPlay, btPause, btStop});
    player.resize(85, 30);
    EXPECT_EQ(Shot(player, "word").size(), QSize(85, 30));
}

TEST(MediaPlayerGlyphs, EachOfTheTwentySevenIsInSizeAndKeysOutOlive)
{
    const TkznMediaPlayerGlyphs glyphs;
    for (int b = 0; b < kMPButtonCount; ++b)
        for (int look = 0; look < TkznMediaPlayerGlyphs::kLookCount; ++look) {
            SCOPED_TRACE(Names({TMPBtnType(b)}) + " look " + std::to_string(look));
            const QImage& glyph = glyphs.Glyph(TkznMediaPlayerGlyphs::Look(look), TMPBtnType(b));
            EXPECT_GE(glyph.width(), 12);
            EXPECT_LE(glyph.width(), 21);
            EXPECT_GE(glyph.height(), 13);
            EXPECT_LE(glyph.height(), 16);
            EXPECT_LE(glyph.colorCount(), 16);
            const QImage argb = glyph.convertToFormat(QImage::Format_ARGB32);
            EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0) << "the corner is background";
            int drawn = 0;
            for (int y = 0; y < argb.height(); ++y)
                for (int x = 0; x < argb.width(); ++x)
                    if (qAlpha(argb.pixel(x, y)) != 0) {
                        ++drawn;
                        EXPECT_NE(argb.pixel(x, y) & 0xFFFFFF, 0x808000u) << "olive is never drawn";
                    }
            EXPECT_GT(drawn, 20);
        }
    EXPECT_EQ(glyphs.MaxSize(), QSize(21, 16));
}
