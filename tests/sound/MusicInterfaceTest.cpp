// Tests of the music interface's song records and per-tick fades, against a player
// that records what it is asked to do.
#include "sound/MusicInterface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace Varn {
namespace {

using ::testing::ElementsAre;

struct PlayerLog {
    std::vector<std::string> calls;
    std::map<MusicPlayer::SongHandle, double> channelVolume;
    double globalVolume = 1.0;
};

class RecordingPlayer final : public MusicPlayer {
public:
    explicit RecordingPlayer(PlayerLog& log) : log_(log) {}
    SongHandle Load(const std::string& path) override {
        if (path.find("missing") != std::string::npos) return 0;
        log_.calls.push_back("load " + path);
        const SongHandle handle = next_++;
        log_.channelVolume[handle] = 1.0;
        return handle;
    }
    void Free(SongHandle song) override { Record("free", song); }
    void Play(SongHandle song) override { Record("play", song); }
    void Stop(SongHandle song) override { Record("stop", song); }
    void SetChannelVolume(SongHandle song, double volume) override {
        log_.channelVolume[song] = volume;
    }
    void SetGlobalVolume(double volume) override { log_.globalVolume = volume; }

private:
    void Record(const char* what, SongHandle song) {
        log_.calls.push_back(std::string(what) + " " + std::to_string(song));
    }
    PlayerLog& log_;
    SongHandle next_ = 1;
};

class MusicInterfaceTest : public ::testing::Test {
protected:
    MusicInterfaceTest() : music_(std::make_unique<RecordingPlayer>(log_)) {
        music_.LoadMusic(0, "music\\1984-network.s3m");
        music_.LoadMusic(2, "music\\1980-autonomus.s3m");
        log_.calls.clear();
    }
    double Volume(int id) { return music_.GetSongState(id)->volume; }
    double Step(int id) { return music_.GetSongState(id)->fadeStep; }
    double Channel(int id) { return log_.channelVolume[id == 0 ? 1 : 2]; }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) music_.UpdateMusic();
    }

    PlayerLog log_;
    MusicInterface music_;
};

TEST_F(MusicInterfaceTest, LoadedSongStartsSilentAndStill) {
    ASSERT_TRUE(music_.GetSongState(0));
    EXPECT_EQ(Volume(0), 0.0);
    EXPECT_EQ(Step(0), 0.0);
}

TEST_F(MusicInterfaceTest, LoadTurnsBackslashesIntoFolders) {
    PlayerLog log;
    MusicInterface music(std::make_unique<RecordingPlayer>(log));
    music.LoadMusic(1, "music\\1981-datajack.s3m");
    EXPECT_THAT(log.calls, ElementsAre("load music/1981-datajack.s3m"));
}

TEST_F(MusicInterfaceTest, FailedLoadLeavesNoSongAndLaterCallsDoNothing) {
    EXPECT_FALSE(music_.LoadMusic(5, "missing.s3m"));
    EXPECT_FALSE(music_.GetSongState(5));
    music_.PlayMusic(5);
    music_.FadeInMusic(5);
    music_.StopMusic(5);
    Ticks(3);
    EXPECT_TRUE(log_.calls.empty());
}

TEST_F(MusicInterfaceTest, SecondLoadUnderAnIdKeepsTheFirstSong) {
    EXPECT_TRUE(music_.LoadMusic(0, "other.s3m"));
    music_.PlayMusic(0);
    EXPECT_THAT(log_.calls, ElementsAre("load other.s3m", "free 3", "play 1"));
}

TEST_F(MusicInterfaceTest, PlaySetsFullVolumeButLeavesTheChannelVolume) {
    log_.channelVolume[1] = 0.37;
    music_.PlayMusic(0);
    EXPECT_EQ(Volume(0), 1.0);
    EXPECT_EQ(Channel(0), 0.37);
    EXPECT_THAT(log_.calls, ElementsAre("play 1"));
}

TEST_F(MusicInterfaceTest, FadeInFromSilenceTakesFiveHundredTicks) {
    music_.FadeInMusic(0);
    EXPECT_EQ(Channel(0), 0);  // starts at its current volume
    EXPECT_THAT(log_.calls, ElementsAre("play 1"));
    Ticks(499);
    EXPECT_GT(Step(0), 0.0);
    EXPECT_LT(Volume(0), 1.0);
    Ticks(1);
    EXPECT_EQ(Step(0), 0.0);
    EXPECT_EQ(Volume(0), 1.0);
    EXPECT_EQ(Channel(0), 1.0);
}

TEST_F(MusicInterfaceTest, FadeOutFromFullTakesTwoHundredFiftyTicksAndStops) {
    music_.PlayMusic(0);
    music_.FadeOutMusic(0);
    Ticks(249);
    EXPECT_GT(Volume(0), 0.0);
    EXPECT_THAT(log_.calls, ElementsAre("play 1"));
    Ticks(1);
    EXPECT_EQ(Volume(0), 0.0);
    EXPECT_EQ(Step(0), 0.0);
    EXPECT_EQ(Channel(0), 0);
    EXPECT_THAT(log_.calls, ElementsAre("play 1", "stop 1"));
}

TEST_F(MusicInterfaceTest, FadeInReversesAnUnfinishedFadeOut) {
    music_.PlayMusic(0);
    music_.FadeOutMusic(0);
    Ticks(100);  // volume about 0.6
    EXPECT_NEAR(Volume(0), 0.6, 1e-9);
    music_.FadeInMusic(0);
    EXPECT_NEAR(Channel(0), 0.6, 1e-9);  // the fade's own volume, not whole percent
    Ticks(1);
    EXPECT_NEAR(Volume(0), 0.602, 1e-9);
    EXPECT_GT(Step(0), 0.0);
    Ticks(200);
    EXPECT_EQ(Volume(0), 1.0);
    EXPECT_THAT(log_.calls, ElementsAre("play 1", "play 1"));  // never stopped
}

TEST_F(MusicInterfaceTest, FadeOutAtVolumeZeroDoesNothing) {
    music_.FadeOutMusic(0);
    EXPECT_EQ(Step(0), 0.0);
    Ticks(300);
    EXPECT_TRUE(log_.calls.empty());  // in particular no stop
}

TEST_F(MusicInterfaceTest, FadeOutOfAFadingInSongTurnsItAround) {
    music_.FadeInMusic(2);
    Ticks(50);
    music_.FadeOutMusic(2);
    Ticks(24);
    EXPECT_GT(Volume(2), 0.0);
    Ticks(2);
    EXPECT_EQ(Volume(2), 0.0);
    EXPECT_THAT(log_.calls, ElementsAre("play 2", "stop 2"));
}

TEST_F(MusicInterfaceTest, StopAllStopsEverySongInIdOrder) {
    music_.PlayMusic(2);
    music_.PlayMusic(0);
    music_.StopAllMusic();
    EXPECT_EQ(Volume(0), 0.0);
    EXPECT_EQ(Volume(2), 0.0);
    EXPECT_THAT(log_.calls, ElementsAre("play 2", "play 1", "stop 1", "stop 2"));
}

TEST_F(MusicInterfaceTest, GlobalVolumeIsPassedOnExactly) {
    for (double volume : {0.5 * 0.4, 0.857 * 0.4, 0.0199, 0.0}) {
        music_.SetVolume(volume);
        EXPECT_EQ(log_.globalVolume, volume);
    }
}

}  // namespace
}  // namespace Varn
