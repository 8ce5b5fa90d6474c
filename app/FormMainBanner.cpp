// The banner picture and its click.
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include "app/FormMain.h"
#include "app/JpegBanner.h"
#include "app/Panel.h"
#include "app/Publisher.h"
#include "app/Settings.h"
#include "platform/MessageBox.h"
#include "platform/OpenUrl.h"

void TFormMain::LoadBanner() {
  LoadBannerFrom(app::ProgramFolder() + QLatin1Char('/') + QLatin1String(app::kBannerFileName));
}

void TFormMain::LoadBannerFrom(const QString& path) {
  banner_ = app::LoadJpegFile(path);
  if (banner_.isNull())
    Image1->clear();
  else
    Image1->setPixmap(QPixmap::fromImage(banner_));
}

void TFormMain::Image1Click() {
  const QString url = QString::fromLatin1(app::kPublisherUrl);
  if (platform::OpenUrl(this, url) || browserFailureShown_) return;
  // Said once: the next clicks would only repeat it.
  browserFailureShown_ = true;
  platform::ShowMessage(this, QStringLiteral("웹 페이지를 열 수 없습니다: ") + url +
                                  QStringLiteral("\r\r이유: 이 컴퓨터에서 웹 브라우저를 찾지 "
                                                 "못했습니다.\r웹 브라우저와 xdg-utils(xdg-open)를 "
                                                 "설치하거나 주소를 브라우저에 직접 입력하세요."));
}

bool TFormMain::HandleBannerClick(QObject* watched, QEvent* event) {
  if (watched != Image1 && watched != Panel4 && watched != Label3 && watched != Label4)
    return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  auto* w = static_cast<QWidget*>(watched);
  if (mouse->button() != Qt::LeftButton || !w->rect().contains(mouse->position().toPoint()))
    return false;
  Image1Click();
  return true;  // handled here; the panel behind a label must not open it again
}
