// MusicInterface: song records and the per-tick fades.
#include "sound/MusicInterface.h"

#include "sound/MixerSoundManager.h"
#include "sound/ModulePlayer.h"

namespace Varn {

MusicInterface::MusicInterface(std::shared_ptr<AudioOutput> output)
    : player_(std::make_unique<ModulePlayer>(std::move(output))) {}

MusicInterface::MusicInterface(std::unique_ptr<MusicPlayer> player) : player_(std::move(player)) {}

MusicInterface::~MusicInterface() {
    for (auto& [id, song] : songs_) {
        player_->Stop(song.handle);
        player_->Free(song.handle);
    }
    songs_.clear();
}

MusicInterface::Song* MusicInterface::Find(int id) {
    auto it = songs_.find(id);
    return it == songs_.end() ? nullptr : &it->second;
}

std::optional<MusicInterface::SongState> MusicInterface::GetSongState(int id) const {
    auto it = songs_.find(id);
    if (it == songs_.end()) return std::nullopt;
    return SongState{it->second.volume, it->second.fadeStep};
}

bool MusicInterface::LoadMusic(int id, const std::string& fileName) {
    const MusicPlayer::SongHandle handle = player_->Load(GamePath(fileName));
    if (handle == 0) return false;
    // The first song loaded under an id stays; the new copy is not kept playing
    // unreachable in the background.
    if (!songs_.try_emplace(id, Song{handle, 0.0, 0.0}).second) player_->Free(handle);
    return true;
}

void MusicInterface::PlayMusic(int id) {
    if (Song* song = Find(id)) {
        song->volume = 1.0;
        player_->Play(song->handle);
    }
}

void MusicInterface::StopMusic(int id) {
    if (Song* song = Find(id)) {
        song->volume = 0.0;
        player_->Stop(song->handle);
    }
}

void MusicInterface::StopAllMusic() {
    for (auto& [id, song] : songs_) {
        song.volume = 0.0;
        player_->Stop(song.handle);
    }
}

void MusicInterface::FadeInMusic(int id) {
    if (Song* song = Find(id)) {
        song->fadeStep = 0.002;
        player_->SetChannelVolume(song->handle, song->volume);
        player_->Play(song->handle);
    }
}

void MusicInterface::FadeOutMusic(int id) {
    Song* song = Find(id);
    if (song && song->volume != 0.0) song->fadeStep = -0.004;
}

void MusicInterface::SetVolume(double volume) {
    player_->SetGlobalVolume(volume);
}

void MusicInterface::UpdateMusic() {
    for (auto& [id, song] : songs_) {
        if (song.fadeStep == 0.0) continue;
        song.volume += song.fadeStep;
        if (song.volume > 1.0) {
            song.volume = 1.0;
            song.fadeStep = 0.0;
        } else if (song.volume < 0.0) {
            song.volume = 0.0;
            song.fadeStep = 0.0;
            player_->Stop(song.handle);
        }
        player_->SetChannelVolume(song.handle, song.volume);
    }
}

}  // namespace Varn
