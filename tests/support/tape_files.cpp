// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/tape_files.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace quillfen::testing {
namespace {

std::uint8_t Low(std::uint16_t w) { return static_cast<std::uint8_t>(w & 0xFF); }
std::uint8_t High(std::uint16_t w) { return static_cast<std::uint8_t>(w >> 8); }

void AppendWord(Bytes& out, std::uint16_t w) {
  out.push_back(Low(w));
  out.push_back(High(w));
}

constexpr std::uint16_t kFlagAddress = 0xFE00;  // the flag the loader waits for
constexpr std::uint16_t kHeaderLength = 17;

/// The thresholds a loader tells pulses apart by, in turns of its sampling loop.
struct LoaderCounts {
  std::uint8_t pilot_min;  // a pulse at least this long is pilot
  std::uint8_t sync_max;   // after pilot, one shorter than this is the first sync pulse
  std::uint8_t bit_split;  // a bit's two pulses together at least this long are a 1
};

/// A block loader named `p` calling the edge routine `edge` (which counts turns in B until EAR
/// changes from the level kept in C, returning carry set, or clear when B wraps). `rra` keeps
/// the level in bit 5 (EAR shifted down by RRA), else in bit 6.
void EmitBlockLoader(Z80Code& z, const std::string& p, const std::string& edge, bool rra,
                     const LoaderCounts& counts) {
  z.Label(p)({0xF3})                                // DI
      ({0x32, Low(kFlagAddress), High(kFlagAddress)})  // LD (FLAG),A
      ({0x3E, 0x7F, 0xDB, 0xFE});                  // LD A,7Fh ; IN A,(FEh): the level now
  if (rra) z({0x1F});                              // RRA
  z({0xE6, static_cast<std::uint8_t>(rra ? 0x20 : 0x40), 0x4F});  // AND mask ; LD C,A
  // 256 pilot pulses in a row.
  z.Label(p + ".seek")({0x26, 0x00});  // LD H,0
  z.Label(p + ".lead")({0x06, 0x00}).Absolute({0xCD}, edge);  // LD B,0 ; CALL edge
  z.Relative(0x30, p + ".seek");                   // JR NC,seek
  z({0x78, 0xFE, counts.pilot_min});               // LD A,B ; CP pilot_min
  z.Relative(0x38, p + ".seek");                   // JR C,seek
  z({0x24}).Relative(0x20, p + ".lead");           // INC H ; JR NZ,lead
  // More pilot until a short pulse: the first sync pulse; then the second.
  z.Label(p + ".sync")({0x06, 0x00}).Absolute({0xCD}, edge).Relative(0x30, p + ".seek");
  z({0x78, 0xFE, counts.sync_max}).Relative(0x30, p + ".sync");  // LD A,B ; CP ; JR NC,sync
  z({0x06, 0x00}).Absolute({0xCD}, edge).Relative(0x30, p + ".seek");
  // The flag: another block's is skipped. H keeps the running XOR.
  z.Absolute({0xCD}, p + ".byte")({0xD0});         // CALL byte ; RET NC
  z({0x3A, Low(kFlagAddress), High(kFlagAddress), 0xBD});  // LD A,(FLAG) ; CP L
  z.Relative(0x20, p + ".seek")({0x65});           // JR NZ,seek ; LD H,L
  z.Label(p + ".data")({0x7A, 0xB3}).Relative(0x28, p + ".check");  // LD A,D ; OR E ; JR Z
  z.Absolute({0xCD}, p + ".byte")({0xD0});         // CALL byte ; RET NC
  z({0xDD, 0x75, 0x00, 0xDD, 0x23, 0x1B});         // LD (IX+0),L ; INC IX ; DEC DE
  z({0x7C, 0xAD, 0x67}).Relative(0x18, p + ".data");  // LD A,H ; XOR L ; LD H,A ; JR data
  // The checksum byte makes the XOR 0: carry set.
  z.Label(p + ".check").Absolute({0xCD}, p + ".byte")({0xD0});
  z({0x7C, 0xAD, 0xFE, 0x01, 0xC9});               // LD A,H ; XOR L ; CP 1 ; RET
  // One byte into L, high bit first: a bit is two pulses, timed together in B.
  z.Label(p + ".byte")({0x2E, 0x01});              // LD L,1: shifted out after eight bits
  z.Label(p + ".bit")({0x06, 0x00}).Absolute({0xCD}, edge)({0xD0});  // LD B,0 ; CALL ; RET NC
  z.Absolute({0xCD}, edge)({0xD0});                // CALL edge ; RET NC
  z({0x78, 0xFE, counts.bit_split, 0x3F, 0xCB, 0x15});  // LD A,B ; CP ; CCF ; RL L
  z.Relative(0x30, p + ".bit")({0xC9});            // JR NC,bit ; RET
}

TestRom BuildTestRom() {
  Z80Code z(0x0000);
  z({0xF3, 0x31, 0x00, 0xFF}).Absolute({0xC3}, "start");  // DI ; LD SP,FF00h ; JP start
  // Error reports: RST 8 and the report's code after it, then a halt here, as the report waits.
  z.Org(0x0008)({0x18, 0xFE});  // JR $
  // IM 1 handler: counts frames.
  const std::uint16_t frames = TestRom::kFramesAddress;
  z.Org(0x0038)({0xE5, 0x2A, Low(frames), High(frames)})  // PUSH HL ; LD HL,(FRAMES)
      ({0x23, 0x22, Low(frames), High(frames)})           // INC HL ; LD (FRAMES),HL
      ({0xE1, 0xFB, 0xC9});                               // POP HL ; EI ; RET
  // LOAD "" ENTER: key B/C (half-row, bit), with key D/E too when E is not 0.
  z.Org(0x0100).Label("start");
  const std::uint8_t keys[4][4] = {{0xBF, 0x08, 0x00, 0x00},   // J
                                   {0x7F, 0x02, 0xDF, 0x01},   // SYMBOL SHIFT + P
                                   {0x7F, 0x02, 0xDF, 0x01},   // SYMBOL SHIFT + P
                                   {0xBF, 0x01, 0x00, 0x00}};  // ENTER
  for (const auto& k : keys)
    z({0x01, k[1], k[0], 0x11, k[3], k[2]}).Absolute({0xCD}, "waitkey");  // LD BC ; LD DE ; CALL
  const std::uint16_t typed = TestRom::kTypedAddress;
  z({0x3E, 0x01, 0x32, Low(typed), High(typed)});  // LD A,1 ; LD (TYPED),A
  // The header, then the block it announces, then its code.
  const std::uint16_t header = TestRom::kHeaderAddress;
  const auto length_at = static_cast<std::uint16_t>(header + 11);
  const auto start_at = static_cast<std::uint16_t>(header + 13);
  z.Label("header")({0xDD, 0x21, Low(header), High(header)})  // LD IX,HEADER
      ({0x11, Low(kHeaderLength), High(kHeaderLength), 0xAF})  // LD DE,17 ; XOR A
      .Absolute({0xCD}, "std")
      .Relative(0x30, "header");  // CALL std ; JR NC,header
  z({0xDD, 0x2A, Low(start_at), High(start_at)})   // LD IX,(start)
      ({0xED, 0x5B, Low(length_at), High(length_at), 0x3E, 0xFF})  // LD DE,(length) ; LD A,FFh
      .Absolute({0xCD}, "std")
      .Relative(0x30, "fail");                     // CALL std ; JR NC,fail
  z({0x2A, Low(start_at), High(start_at), 0xE9});  // LD HL,(start) ; JP (HL)
  const std::uint16_t marker = TestRom::kMarkerAddress;
  z.Label("fail")({0x3E, 0xEE, 0x32, Low(marker), High(marker)})  // LD A,EEh ; LD (marker),A
      ({0xCF, 0x1A});                                              // "R Tape loading error"
  z.Label("waitkey")({0x78, 0xDB, 0xFE, 0xA1}).Relative(0x20, "waitkey");  // LD A,B ; IN ; AND C
  z({0x7B, 0xA7}).Relative(0x28, "waitkey.up");     // LD A,E ; AND A ; JR Z,up
  z({0x7A, 0xDB, 0xFE, 0xA3}).Relative(0x20, "waitkey");  // LD A,D ; IN ; AND E ; JR NZ
  z.Label("waitkey.up")({0xAF, 0xDB, 0xFE, 0x2F, 0xE6, 0x1F});  // XOR A ; IN ; CPL ; AND 1Fh
  z.Relative(0x20, "waitkey.up")({0xC9});           // JR NZ,up ; RET

  // Standard timings: a 130 T delay, then 59 T sampling turns (about 33 per pilot pulse, 22
  // for a 0 bit, 50 for a 1 bit).
  EmitBlockLoader(z, "std", "std.edge", true, {27, 20, 36});
  z.Label("std.edge")({0x3E, 0x08});                 // LD A,8
  z.Label("std.delay")({0x3D}).Relative(0x20, "std.delay");  // DEC A ; JR NZ,delay
  z.Label("std.sample")({0x04, 0xC8, 0x3E, 0x7F, 0xDB, 0xFE, 0x1F, 0xD0, 0xA9, 0xE6, 0x20});
  z.Relative(0x28, "std.sample");                    // INC B ... AND 20h ; JR Z,sample
  z({0x79, 0x2F, 0x4F, 0x37, 0xC9});                 // LD A,C ; CPL ; LD C,A ; SCF ; RET

  // Turbo timings: 52 T turns of LD A,7Fh / IN / XOR C / AND 40h / JR NZ / INC B / JR NZ
  // (about 24 per pilot pulse, 15 for a 0 bit, 34 for a 1 bit).
  EmitBlockLoader(z, "turbo", "turbo.edge", false, {21, 14, 24});
  z.Label("turbo.edge")({0x3E, 0x7F, 0xDB, 0xFE, 0xA9, 0xE6, 0x40}).Relative(0x20, "turbo.found");
  z({0x04}).Relative(0x20, "turbo.edge")({0xA7, 0xC9});  // INC B ; JR NZ ; AND A ; RET (NC)
  z.Label("turbo.found")({0x79, 0xEE, 0x40, 0x4F, 0x37, 0xC9});  // flip C ; SCF ; RET
  z.Org(0x3FFF)({0xFF});

  TestRom rom;
  rom.image = z.Finish();
  rom.standard_loader = z.Address("std");
  rom.turbo_loader = z.Address("turbo");
  return rom;
}

}  // namespace

Z80Code& Z80Code::operator()(std::initializer_list<std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes);
  return *this;
}

Z80Code& Z80Code::Label(const std::string& name) {
  if (!labels_.emplace(name, Here()).second) throw std::logic_error("label twice: " + name);
  return *this;
}

Z80Code& Z80Code::Relative(std::uint8_t opcode, const std::string& label) {
  bytes_.push_back(opcode);
  fixups_.push_back({bytes_.size(), label, true});
  bytes_.push_back(0);
  return *this;
}

Z80Code& Z80Code::Absolute(std::initializer_list<std::uint8_t> opcode, const std::string& label) {
  bytes_.insert(bytes_.end(), opcode);
  fixups_.push_back({bytes_.size(), label, false});
  return Word(0);
}

Z80Code& Z80Code::Word(std::uint16_t word) {
  AppendWord(bytes_, word);
  return *this;
}

Z80Code& Z80Code::Org(std::uint16_t address) {
  if (address < Here()) throw std::logic_error("code runs past " + std::to_string(address));
  bytes_.resize(address - origin_, 0xFF);
  return *this;
}

std::uint16_t Z80Code::Address(const std::string& label) const {
  const auto it = labels_.find(label);
  if (it == labels_.end()) throw std::logic_error("no label " + label);
  return it->second;
}

Bytes Z80Code::Finish() const {
  Bytes out = bytes_;
  for (const Fixup& f : fixups_) {
    const std::uint16_t target = Address(f.label);
    if (f.relative) {
      const int displacement = target - (origin_ + static_cast<int>(f.at) + 1);
      if (displacement < -128 || displacement > 127)
        throw std::logic_error("jump out of reach: " + f.label);
      out[f.at] = static_cast<std::uint8_t>(displacement);
    } else {
      out[f.at] = Low(target);
      out[f.at + 1] = High(target);
    }
  }
  return out;
}

const TestRom& TheTestRom() {
  static const TestRom rom = BuildTestRom();
  return rom;
}

TestProgram MakeTestProgram(const ProgramPlan& plan) {
  const TestRom& rom = TheTestRom();
  Z80Code z(kProgramStart);
  if (plan.turbo_length != 0) {
    z({0xDD, 0x21, Low(kTurboAddress), High(kTurboAddress)})  // LD IX,turbo address
        ({0x11, Low(plan.turbo_length), High(plan.turbo_length), 0x3E, 0xFF})  // LD DE ; LD A,FFh
        ({0xCD, Low(rom.turbo_loader), High(rom.turbo_loader)})  // CALL turbo loader
        .Relative(0x30, "fail");                                // JR NC,fail
  }
  if (plan.standard_blocks != 0) {
    z({0x06, plan.standard_blocks});                            // LD B,count
    z.Label("bulk")({0xC5, 0xDD, 0x21, Low(kBulkAddress), High(kBulkAddress)})  // PUSH BC ; LD IX
        ({0x11, Low(plan.standard_length), High(plan.standard_length), 0x3E, 0xFF})
        ({0xCD, Low(rom.standard_loader), High(rom.standard_loader), 0xC1})  // CALL ; POP BC
        .Relative(0x30, "fail")
        .Relative(0x10, "bulk");                                // JR NC,fail ; DJNZ bulk
  }
  if (plan.page_128k) z({0x01, 0xFD, 0x7F, 0x3E, 0x10, 0xED, 0x79});  // LD BC,7FFDh ; OUT (C),10h
  const std::uint16_t marker = TestRom::kMarkerAddress;
  z({0x3E, kMarkerLoaded, 0x32, Low(marker), High(marker)});   // LD A,A5h ; LD (MARKER),A
  z({0x3E, kProgramBorder, 0xD3, 0xFE, 0xED, 0x56, 0xFB});      // border ; IM 1 ; EI
  z.Label("loop")({0x18, 0xFE});                                // JR $
  z.Label("fail")({0x3E, 0xEE, 0x32, Low(marker), High(marker), 0x18, 0xFE});
  return {z.Finish(), z.Address("loop")};
}

Bytes CodeHeader(const std::string& name, std::uint16_t length, std::uint16_t start) {
  Bytes header = {0x03};
  for (std::size_t i = 0; i < 10; ++i)
    header.push_back(i < name.size() ? static_cast<std::uint8_t>(name[i]) : ' ');
  AppendWord(header, length);
  AppendWord(header, start);
  AppendWord(header, 0x8000);
  return header;
}

Bytes TapeData(std::uint8_t flag, const Bytes& payload) {
  Bytes data(payload.size() + 1);
  data[0] = flag;
  std::copy(payload.begin(), payload.end(), data.begin() + 1);
  std::uint8_t check = 0;
  for (const std::uint8_t b : data) check ^= b;
  data.push_back(check);
  return data;
}

Bytes MakeTapFile(const std::vector<Bytes>& blocks) {
  Bytes tap;
  for (const Bytes& block : blocks) {
    AppendWord(tap, static_cast<std::uint16_t>(block.size()));
    tap.insert(tap.end(), block.begin(), block.end());
  }
  return tap;
}

Bytes TzxStandardBlock(const Bytes& data, std::uint16_t pause_ms) {
  Bytes block = {0x10};
  AppendWord(block, pause_ms);
  AppendWord(block, static_cast<std::uint16_t>(data.size()));
  block.insert(block.end(), data.begin(), data.end());
  return block;
}

Bytes TzxTurboBlock(const Bytes& data, const TurboTimings& t, std::uint16_t pause_ms) {
  Bytes block = {0x11};
  for (const std::uint16_t w : {t.pilot, t.sync1, t.sync2, t.bit0, t.bit1, t.pilot_pulses})
    AppendWord(block, w);
  block.push_back(8);  // every bit of the last byte used
  AppendWord(block, pause_ms);
  block.push_back(static_cast<std::uint8_t>(data.size() & 0xFF));
  block.push_back(static_cast<std::uint8_t>(data.size() >> 8 & 0xFF));
  block.push_back(static_cast<std::uint8_t>(data.size() >> 16 & 0xFF));
  block.insert(block.end(), data.begin(), data.end());
  return block;
}

Bytes TzxPureTone(std::uint16_t pulse, std::uint16_t pulses) {
  Bytes block = {0x12};
  AppendWord(block, pulse);
  AppendWord(block, pulses);
  return block;
}

Bytes TzxJump(std::int16_t blocks) {
  Bytes block = {0x23};
  AppendWord(block, static_cast<std::uint16_t>(blocks));
  return block;
}

Bytes MakeTzxFile(const std::vector<Bytes>& blocks) {
  Bytes tzx = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 20};
  for (const Bytes& block : blocks) tzx.insert(tzx.end(), block.begin(), block.end());
  return tzx;
}

Bytes RandomBytes(std::size_t length, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(length);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

}  // namespace quillfen::testing
