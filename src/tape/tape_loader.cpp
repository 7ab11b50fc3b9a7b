// SPDX-License-Identifier: GPL-3.0-or-later
#include "tape/tape_loader.h"

#include <algorithm>
#include <array>

#include "cartridge/bytes.h"
#include "cartridge/error.h"
#include "tape/loop_skip.h"
#include "verify/frame_machine.h"

namespace quillfen::tape {
namespace {

/// A key of the matrix: the half-row (selected by address bit 8 + row low) and its data bit.
struct Key {
  std::uint8_t row;
  std::uint8_t bit;
};
constexpr Key kJ{6, 3};  // LOAD in K mode
constexpr Key kEnter{6, 0};
constexpr Key kSymbolShift{7, 1};
constexpr Key kP{5, 0};  // '"' with SYMBOL SHIFT

/// The half-row bits (bits 0-4, low = pressed) of one chord of keys.
using Chord = std::array<std::uint8_t, 8>;
constexpr Chord ChordOf(std::initializer_list<Key> keys) {
  Chord chord{};
  for (const Key& key : keys) chord[key.row] |= static_cast<std::uint8_t>(1u << key.bit);
  return chord;
}
// LOAD "" and ENTER, as typed: J, SYMBOL SHIFT+P twice, ENTER.
constexpr std::array<Chord, 4> kLoadQuoteQuote = {ChordOf({kJ}), ChordOf({kSymbolShift, kP}),
                                                  ChordOf({kSymbolShift, kP}), ChordOf({kEnter})};

constexpr std::uint8_t kKeyBits = 0x1F;
constexpr std::uint8_t kUnusedBits = 0xA0;  // bits 5 and 7 read high
constexpr std::uint8_t kEarBit = 0x40;
constexpr std::uint8_t kIdleBus = 0xFF;
constexpr std::uint8_t kBorderBits = 0x07;
constexpr std::uint64_t kProgressInterval = kSpectrumClock;

// The Spectrum ROM reports an error by RST 8 followed by the report's code; 0x1A is
// "R Tape loading error", given when a block's checksum or length does not come out right.
constexpr std::uint16_t kErrorRestart = 0x0008;
constexpr std::uint8_t kTapeLoadingErrorCode = 0x1A;

// A loader samples EAR faster than the tape's edges come (a pilot tone alone changes some 1600
// times a second), while a Spectrum only scanning its keyboard reads port 0xFE in one burst a
// frame and sees at most a few dozen changes a second: fewer than this in every second of the
// tape means nothing ever listened to it.
constexpr std::uint64_t kChangesHeardBySomeLoader = 200;

bool IsUlaPort(std::uint16_t port) { return (port & 0x0001) == 0; }
bool IsPagingPort(std::uint16_t port) { return (port & 0x8002) == 0; }  // 0x7FFD as decoded

/// The keyboard as LOAD "" is typed on it and the tape's EAR signal; watches port writes.
class LoaderPorts final : public FramePorts {
 public:
  LoaderPorts(const TapeSignal& signal, const TapeLoadOptions& options)
      : player_(signal),
        typing_start_(options.boot_t_states),
        key_hold_(options.key_hold_t_states),
        key_turn_(options.key_hold_t_states + options.key_gap_t_states),
        tape_start_(typing_start_ + key_turn_ * (kLoadQuoteQuote.size() - 1) + key_hold_) {}

  std::uint8_t Read(std::uint16_t port, std::uint64_t t) override {
    if (!IsUlaPort(port)) return kIdleBus;
    std::uint8_t pressed = 0;
    if (const Chord* chord = ChordAt(t)) {
      const auto rows = static_cast<std::uint8_t>(~(port >> 8));
      for (std::size_t row = 0; row < chord->size(); ++row)
        if (rows & (1u << row)) pressed |= (*chord)[row];
    }
    last_ear_read_ = t;
    const bool playing = t >= tape_start_;
    const bool ear = playing && player_.LevelAt(t - tape_start_);
    if (playing) Hear(ear, t - tape_start_);
    return static_cast<std::uint8_t>(kUnusedBits | (ear ? kEarBit : 0) | (kKeyBits & ~pressed));
  }

  void Write(std::uint16_t port, std::uint8_t value, std::uint64_t t) override {
    if (IsPagingPort(port) && !paged_) {
      paged_ = true;
      paged_at_ = t;
      paging_value_ = value;
    }
    if (IsUlaPort(port)) border_ = value & kBorderBits;
  }

  std::uint64_t TapeStart() const { return tape_start_; }
  bool KeysUp(std::uint64_t t) const { return t >= tape_start_; }
  std::uint64_t LastEarRead() const { return last_ear_read_; }
  /// The first EAR change after the last read, absolute, or kNever.
  std::uint64_t NextEarChange() const {
    const std::uint64_t next = player_.NextChange();
    return next == kNever || last_ear_read_ < tape_start_ ? kNever : tape_start_ + next;
  }
  bool Paged() const { return paged_; }
  std::uint64_t PagedAt() const { return paged_at_; }
  std::uint8_t PagingValue() const { return paging_value_; }
  std::uint8_t Border() const { return border_; }
  /// Whether the Spectrum, in some second of the tape, read EAR as a loader does.
  bool ListenedToTheTape() const { return listened_; }

 private:
  /// Counts the EAR changes the Spectrum's reads saw, per second of the tape.
  void Hear(bool ear, std::uint64_t played) {
    const std::uint64_t second = played / kSpectrumClock;
    if (second != hearing_second_) {
      heard_ = 0;
      hearing_second_ = second;
    }
    if (ear != ear_heard_ && ++heard_ >= kChangesHeardBySomeLoader) listened_ = true;
    ear_heard_ = ear;
  }

  const Chord* ChordAt(std::uint64_t t) const {
    if (t < typing_start_ || t >= tape_start_) return nullptr;
    const std::uint64_t since = t - typing_start_;
    if (since % key_turn_ >= key_hold_) return nullptr;
    return &kLoadQuoteQuote[since / key_turn_];
  }

  TapePlayer player_;
  std::uint64_t typing_start_, key_hold_, key_turn_, tape_start_;
  std::uint64_t last_ear_read_ = 0;
  bool paged_ = false;
  std::uint64_t paged_at_ = 0;
  std::uint8_t paging_value_ = 0;
  std::uint8_t border_ = 0;
  bool ear_heard_ = false;
  bool listened_ = false;
  std::uint64_t hearing_second_ = 0, heard_ = 0;
};

std::string Seconds(std::uint64_t t_states) {
  const std::uint64_t tenths = t_states * 10 / kSpectrumClock;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

SnapshotState Capture(const FrameMachine& machine, std::uint8_t border) {
  const Z80Registers r = machine.Registers();
  SnapshotState s;
  const auto memory = machine.Memory().subspan(FrameMachine::kRamStart);
  s.Memory.assign(memory.begin(), memory.end());
  s.AF = r.AF;
  s.BC = r.BC;
  s.DE = r.DE;
  s.HL = r.HL;
  s.IX = r.IX;
  s.IY = r.IY;
  s.AFAlt = r.AFAlt;
  s.BCAlt = r.BCAlt;
  s.DEAlt = r.DEAlt;
  s.HLAlt = r.HLAlt;
  s.PC = r.PC;
  s.SP = r.SP;
  s.I = r.I;
  s.R = r.R;
  s.InterruptMode = r.InterruptMode;
  s.InterruptsEnabled = r.IFF1;
  s.BorderColour = border;
  return s;
}

/// Whether the machine, at an instruction boundary, has just restarted at 8 to report
/// "R Tape loading error": the byte after the RST (at the return address) is that code.
bool ReportsTapeLoadingError(const FrameMachine& machine) {
  if (machine.PC() != kErrorRestart) return false;
  const std::uint16_t sp = machine.Registers().SP;
  const auto after_rst = static_cast<std::uint16_t>(
      machine.Peek(sp) | machine.Peek(static_cast<std::uint16_t>(sp + 1)) << 8);
  return machine.Peek(after_rst) == kTapeLoadingErrorCode;
}

/// ' 12.3 s into the tape, in block 2 "rocket"': where the tape stood at `played`.
std::string WhereOnTape(const TapeSignal& signal, std::uint64_t played) {
  std::string text = Seconds(played) + " into the tape";
  const std::size_t block = signal.BlockAt(std::min(played, signal.Length()));
  if (block >= signal.Blocks().size()) return text;
  text += ", in block " + std::to_string(block + 1);
  if (!signal.Blocks()[block].name.empty()) text += " \"" + signal.Blocks()[block].name + "\"";
  return text;
}

void Report(const TapeProgressCallback& progress, const TapeSignal& signal, std::uint64_t played) {
  if (!progress) return;
  TapeProgress p;
  p.position = std::min(played, signal.Length());
  p.length = signal.Length();
  p.block = signal.BlockAt(p.position);
  if (p.block < signal.Blocks().size()) {
    const TapeBlock& block = signal.Blocks()[p.block];
    p.block_name = block.name.empty() ? block.description : block.name;
  }
  progress(p);
}

void Run(const TapeSignal& signal, std::span<const std::uint8_t> rom,
         const TapeLoadOptions& options, const TapeProgressCallback& progress,
         TapeLoadResult& result) {
  Bytes memory(FrameMachine::kMemorySize, 0x00);
  std::copy(rom.begin(), rom.end(), memory.begin());
  FrameMachine machine(memory);
  LoaderPorts ports(signal, options);
  machine.AttachPorts(&ports);

  const std::uint64_t tape_start = ports.TapeStart();
  result.tape_start = tape_start;
  const std::uint64_t give_up = tape_start + options.limit_t_states;
  const std::uint64_t capture_at = tape_start + signal.Length() + options.settle_t_states;
  const std::uint64_t deadline = signal.Ends() ? capture_at : give_up;
  std::uint64_t next_report = tape_start;
  bool reported_end = false;

  SkipBounds bounds;
  bounds.stop_address = options.stop_address;
  bounds.deadline = deadline;
  for (;;) {
    const std::uint64_t t = machine.TStates();
    if (machine.AtInstructionBoundary()) {
      if (ports.Paged())
        Refuse(LoadFailureKind::kNot48KProgram,
               "a 128K program: it pages memory through port 0x7FFD (value " +
                   std::to_string(ports.PagingValue()) + ", " +
                   WhereOnTape(signal, ports.PagedAt() - std::min(ports.PagedAt(), tape_start)) +
                   "); only 48K programs can be converted");
      if (t >= deadline) {
        if (!signal.Ends())
          Refuse(LoadFailureKind::kLoadTimeout,
                 "the tape had not finished loading after " + Seconds(options.limit_t_states) +
                     " of Spectrum time");
        break;
      }
      const std::uint16_t pc = machine.PC();
      if (t >= tape_start) {
        if (pc == kErrorRestart && ReportsTapeLoadingError(machine))
          Refuse(LoadFailureKind::kTapeNotLoaded,
                 "the tape did not load: the Spectrum reported \"R Tape loading error\" " +
                     WhereOnTape(signal, t - tape_start));
        if (options.stop_address && pc == *options.stop_address) {
          result.stopped_at_address = true;
          break;
        }
        if (t >= next_report && !reported_end) {
          Report(progress, signal, t - tape_start);
          reported_end = t - tape_start >= signal.Length();
          next_report += kProgressInterval;
        }
        if (options.skip_waiting_loops && ports.KeysUp(t)) {
          bounds.last_ear_read = ports.LastEarRead();
          bounds.next_ear_change = ports.NextEarChange();
          if (SkipWaitingLoop(machine, bounds)) {
            bounds.previous_known = false;  // a skip ends at the loop's start
            bounds.previous_pc = pc;
            continue;
          }
        }
      }
      bounds.previous_pc = pc;
    }
    machine.Step();
    bounds.previous_known = machine.AtInstructionBoundary() && !machine.LastStepWasInterrupt();
  }
  if (!result.stopped_at_address && !ports.ListenedToTheTape())
    Refuse(LoadFailureKind::kTapeNotLoaded,
           "the tape did not load: the Spectrum never read it (is SPECTRUM_ROM.bin a 48K "
           "Spectrum ROM?)");
  result.state = Capture(machine, ports.Border());
  result.captured_pc = machine.PC();
  result.captured_at = machine.TStates();
}

}  // namespace

TapeLoadResult LoadTape(std::span<const std::uint8_t> tape_file, std::span<const std::uint8_t> rom,
                        const TapeLoadOptions& options, const TapeProgressCallback& progress) {
  TapeLoadResult result;
  try {
    if (rom.size() != kBankSize)
      Refuse(LoadFailureKind::kWrongFileLength,
             "the Spectrum ROM is " + std::to_string(rom.size()) + " bytes, not 16384");
    const TapeSignal signal = ReadTapeSignal(tape_file, options.file_name, options.limit_t_states);
    result.blocks.assign(signal.Blocks().begin(), signal.Blocks().end());
    result.tape_length = signal.Length();
    Run(signal, rom, options, progress, result);
  } catch (const std::exception& error) {
    result.failure = LoadFailureOf(error);
  }
  return result;
}

}  // namespace quillfen::tape
