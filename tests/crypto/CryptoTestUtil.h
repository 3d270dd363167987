// Helpers shared by the digest and cipher tests.
#pragma once

#include <ekcommon/crypto/internal/EKCpuFeatures.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace EKCryptoTest {

inline std::vector<uint8_t> fromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline std::string toHex(const uint8_t* data, size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < length; ++i) {
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 15];
  }
  return hex;
}

inline std::string toHex(const std::vector<uint8_t>& data) {
  return toHex(data.data(), data.size());
}

inline std::vector<uint8_t> randomBytes(std::mt19937& rng, size_t length) {
  std::vector<uint8_t> bytes(length);
  for (uint8_t& b : bytes)
    b = uint8_t(rng());
  return bytes;
}

// A fixture whose tests run twice: on the CPU's extensions where it has them, and on the
// portable code, so that neither path can hide behind the other on any machine.
class BothPaths : public ::testing::TestWithParam<bool> {
protected:
  void SetUp() override { EKCommonNS::EKCpuFeatures::setAcceleration(GetParam()); }
  void TearDown() override { EKCommonNS::EKCpuFeatures::setAcceleration(true); }
};

inline std::string pathName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Accelerated" : "Portable";
}

} // namespace EKCryptoTest
