#pragma once

#include <string>

namespace velmora {

// Listens, on the calling thread and for as long as it lives, to what Qt's
// image decoders report. libjpeg and libpng carry on through damaged data
// and hand back a picture that is partly grey or garbage; the only sign of
// the damage is a message ("Corrupt JPEG data: premature end of data
// segment", "libpng warning: ...") that Qt passes to its message handler.
// A message handler installed once for the whole program (forwarding
// everything else to the handler it replaced) hands these to the collector
// of the thread the decoder runs on; they are not printed then.
class DecoderMessages {
  public:
    DecoderMessages();
    ~DecoderMessages();
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

    // The first message that says the picture data is damaged, without the
    // library's prefix; empty when there was none. Notes about parts that
    // do not change the pixels (an unknown JFIF revision, a colour profile
    // or text chunk with a bad checksum) do not count.
    const std::string& damage() const { return damage_; }

    // Whether a decoder's message says the pixels are damaged; with the
    // library's prefix taken off into *text.
    static bool isDamage(const std::string& category, const std::string& message,
                         std::string* text);

  private:
    friend class DecoderMessageHandler;

    DecoderMessages* outer_;
    std::string damage_;
};

}  // namespace velmora
