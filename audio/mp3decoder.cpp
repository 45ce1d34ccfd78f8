// The MP3 decoder over libmpg123's feed interface.
#include "audio/mp3decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

namespace audio {

namespace {

constexpr std::size_t kFeedBytes = 64 * 1024;

mpg123_handle* Handle(void* p) { return static_cast<mpg123_handle*>(p); }

}  // namespace

TMp3Decoder::~TMp3Decoder() {
  if (handle_) mpg123_delete(Handle(handle_));
}

bool TMp3Decoder::FeedMore() {
  if (fed_ >= bytes_.size()) return false;
  const std::size_t n = std::min(kFeedBytes, bytes_.size() - fed_);
  if (mpg123_feed(Handle(handle_), bytes_.data() + fed_, n) != MPG123_OK) return false;
  fed_ += n;
  return true;
}

bool TMp3Decoder::Open(std::vector<std::uint8_t> bytes, std::string& error) {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
  bytes_ = std::move(bytes);
  int code = MPG123_OK;
  mpg123_handle* h = mpg123_new(nullptr, &code);
  if (!h) {
    error = "the MP3 decoder cannot be created";
    return false;
  }
  handle_ = h;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  // Every rate the library knows, always as 16-bit samples.
  mpg123_format_none(h);
  const long* rates = nullptr;
  std::size_t count = 0;
  mpg123_rates(&rates, &count);
  for (std::size_t i = 0; i < count; ++i) mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(h) != MPG123_OK) {
    error = "the MP3 decoder cannot be opened";
    return false;
  }
  long rate = 0;
  int channels = 0, encoding = 0;
  for (;;) {
    code = mpg123_getformat(h, &rate, &channels, &encoding);
    if (code == MPG123_OK) break;
    if (code != MPG123_NEED_MORE || !FeedMore()) {
      error = "no MPEG audio could be decoded";
      return false;
    }
  }
  if ((channels != 1 && channels != 2) || encoding != MPG123_ENC_SIGNED_16 || rate <= 0) {
    error = "unexpected decoded format";
    return false;
  }
  rate_ = static_cast<int>(rate);
  channels_ = channels;
  return true;
}

std::size_t TMp3Decoder::Read(std::int16_t* out, std::size_t frames) {
  if (!handle_ || ended_ || channels_ == 0) return 0;
  const std::size_t frameBytes = sizeof(std::int16_t) * static_cast<std::size_t>(channels_);
  auto* dest = reinterpret_cast<unsigned char*>(out);
  std::size_t filled = 0;
  const std::size_t wanted = frames * frameBytes;
  int idle = 0;
  while (filled < wanted) {
    std::size_t done = 0;
    const int code = mpg123_read(Handle(handle_), dest + filled, wanted - filled, &done);
    filled += done;
    if (code == MPG123_OK) {
      // A decoder that keeps answering with nothing is at its end, whatever it says.
      if (done == 0 && ++idle > 16) {
        ended_ = true;
        break;
      }
      continue;
    }
    if (code == MPG123_NEED_MORE) {
      if (FeedMore()) continue;
      ended_ = true;
      break;
    }
    if (code == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(Handle(handle_), &rate, &channels, &encoding);
      if (channels != channels_) {
        ended_ = true;
        break;
      }
      continue;
    }
    ended_ = true;  // MPG123_DONE or a decoding error: the track ends here
    break;
  }
  return filled / frameBytes;
}

}  // namespace audio
