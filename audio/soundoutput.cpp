// The sound output over OpenAL Soft.
#include "audio/soundoutput.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <string>

#include "platform/log.h"

namespace {

ALCdevice* Device(void* p) { return static_cast<ALCdevice*>(p); }

}  // namespace

bool TTRVSoundOutput::OpenDevice() {
  Close();
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) {
    platform::LogInfo("sound", "no sound device; the game runs silent");
    return false;
  }
  loopback_ = false;
  return Finish(device, nullptr);
}

bool TTRVSoundOutput::OpenLoopback(int rate) {
  Close();
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
    platform::LogWarning("sound", "the sound library has no loopback device");
    return false;
  }
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  ALCdevice* device = open ? open(nullptr) : nullptr;
  if (!device) {
    platform::LogWarning("sound", "the loopback device could not be opened");
    return false;
  }
  // Plain stereo: tests compare the two channels, so no head-related filtering.
  const int attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                            ALC_FREQUENCY,            rate,            ALC_HRTF_SOFT,        ALC_FALSE,
                            0};
  loopback_ = true;
  return Finish(device, attributes);
}

bool TTRVSoundOutput::Finish(void* device, const int* attributes) {
  ALCcontext* context = alcCreateContext(Device(device), attributes);
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(Device(device));
    loopback_ = false;
    platform::LogWarning("sound", "the sound device could not be set up; the game runs silent");
    return false;
  }
  device_ = device;
  context_ = context;
  ALCint rate = 0;
  alcGetIntegerv(Device(device), ALC_FREQUENCY, 1, &rate);
  rate_ = rate;
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  const ALCchar* name = alcGetString(Device(device), ALC_DEVICE_SPECIFIER);
  platform::LogInfo("sound", std::string(loopback_ ? "loopback" : "device") + " \"" + (name ? name : "") + "\" at " +
                                 std::to_string(rate_) + " Hz");
  return true;
}

void TTRVSoundOutput::Close() {
  if (context_) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context_));
  }
  if (device_) alcCloseDevice(Device(device_));
  device_ = context_ = nullptr;
  loopback_ = false;
  rate_ = 0;
}

bool TTRVSoundOutput::Render(std::size_t frames, std::vector<std::int16_t>& out) {
  out.clear();
  if (!Ready() || !loopback_) return false;
  auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(Device(device_), "alcRenderSamplesSOFT"));
  if (!render) return false;
  out.resize(2 * frames);
  render(Device(device_), out.data(), static_cast<ALCsizei>(frames));
  return true;
}
