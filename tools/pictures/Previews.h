#pragma once
// The three 473 x 377 section previews of the main window.
//
// TODO: these are stand-ins drawn from mock-ups built of our own panels and buttons. Once the
// administration, invoicing and report windows exist, regenerate the previews by grabbing the
// real windows (with a demonstration database) and composing those grabs instead.
#include <QImage>

namespace pictures {

QImage previewAdmin();
QImage previewInvoicing();
QImage previewReports();

} // namespace pictures
