#pragma once
// The publisher of this program, as the banner and the messages name it.

namespace app {

// Opened by a click on the banner; quoted in the search's not-found message.
inline constexpr char kPublisherUrl[] = "https://postcode.example.org/";

// The two banner lines beside the picture.
inline constexpr char kPublisherProductsLine[] =
    "우편번호 찾기 · 지역번호 안내 · 음력 달력 - 다른 프로그램도 홈페이지에서";
inline constexpr char kPublisherNameLine[] = "예제 소프트웨어 공방  https://postcode.example.org/";

}  // namespace app
