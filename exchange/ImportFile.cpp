#include "exchange/ImportFile.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QStandardPaths>

#include "data/DataMod.h"
#include "data/Regional.h"
#include "widgets/Dialogs.h"
#include "widgets/Handlers.h"

namespace zz {

using namespace exchange;

TfrmImportFile* frmImportFile = nullptr;

TfrmImportFile* importDialog(QWidget* owner)
{
    if (!frmImportFile) {
        frmImportFile = new TfrmImportFile(owner);
        QObject::connect(frmImportFile, &QObject::destroyed, [] { frmImportFile = nullptr; });
    }
    return frmImportFile;
}

namespace {
constexpr int kPreviewRows = 8;

QLabel* buddyCaption(QWidget* parent, const QString& name, const QString& text, QWidget* buddy, int left, int top)
{
    QLabel* l = makeCaption(parent, name, text, left, top);
    l->setBuddy(buddy);
    return l;
}
} // namespace

TfrmImportFile::TfrmImportFile(QWidget* parent) : TPanelForm(QStringLiteral("Import"), 720, 560, parent)
{
    setObjectName(QStringLiteral("frmImportFile"));
    makePanels(PanelScheme::csRose, XiPanel1, XiPanel2);
    Label1 = makeHeading(XiPanel1, QStringLiteral("Label1"), QStringLiteral("Import Customers"), width());

    edtFile = new QLineEdit(XiPanel1);
    edtFile->setObjectName(QStringLiteral("edtFile"));
    edtFile->setGeometry(80, 60, 520, 21);
    edtFile->setReadOnly(true);
    edtFile->setAccessibleName(QStringLiteral("File"));
    makeFlat(edtFile, true);
    buddyCaption(XiPanel1, QStringLiteral("Label2"), QStringLiteral("File"), edtFile, 16, 64);
    btnFile = makeButton(XiPanel1, QStringLiteral("btnFile"), QStringLiteral("&Browse..."), QStringLiteral("open"),
                         ButtonScheme::csNeoRose, 608, 58);
    btnFile->resize(96, 25);

    cbxSeparator = new QComboBox(XiPanel1);
    cbxSeparator->setObjectName(QStringLiteral("cbxSeparator"));
    cbxSeparator->addItem(QStringLiteral("Comma"), int(','));
    cbxSeparator->addItem(QStringLiteral("Semicolon"), int(';'));
    cbxSeparator->addItem(QStringLiteral("Tab"), int('\t'));
    cbxSeparator->setGeometry(80, 92, 100, 22);
    buddyCaption(XiPanel1, QStringLiteral("Label3"), QStringLiteral("&Separator"), cbxSeparator, 16, 96);

    cbxEncoding = new QComboBox(XiPanel1);
    cbxEncoding->setObjectName(QStringLiteral("cbxEncoding"));
    cbxEncoding->addItem(QStringLiteral("UTF-8"), int(Encoding::Utf8));
    cbxEncoding->addItem(QStringLiteral("Windows-1252"), int(Encoding::Windows1252));
    cbxEncoding->setGeometry(256, 92, 110, 22);
    buddyCaption(XiPanel1, QStringLiteral("Label4"), QStringLiteral("E&ncoding"), cbxEncoding, 196, 96);

    chkHeader = new QCheckBox(QStringLiteral("&Header row"), XiPanel1);
    chkHeader->setObjectName(QStringLiteral("chkHeader"));
    chkHeader->setGeometry(384, 92, 100, 22);

    cbxPrices = new QComboBox(XiPanel1);
    cbxPrices->setObjectName(QStringLiteral("cbxPrices"));
    cbxPrices->addItem(QStringLiteral("with a point (12.50)"), int(PriceReading::Point));
    cbxPrices->addItem(QStringLiteral("as the regional settings"), int(PriceReading::Regional));
    cbxPrices->setGeometry(544, 92, 160, 22);
    buddyCaption(XiPanel1, QStringLiteral("Label5"), QStringLiteral("&Prices"), cbxPrices, 496, 96);

    grdPreview = new QTableWidget(XiPanel1);
    grdPreview->setObjectName(QStringLiteral("grdPreview"));
    grdPreview->setAccessibleName(QStringLiteral("First rows of the file"));
    grdPreview->setGeometry(16, 124, 440, 180);
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);

    grdMapping = new QTableWidget(XiPanel1);
    grdMapping->setObjectName(QStringLiteral("grdMapping"));
    grdMapping->setAccessibleName(QStringLiteral("Columns of the fields"));
    grdMapping->setGeometry(464, 124, 240, 180);
    grdMapping->setColumnCount(2);
    grdMapping->setHorizontalHeaderLabels({QStringLiteral("Field"), QStringLiteral("Column")});
    grdMapping->verticalHeader()->hide();
    grdMapping->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdMapping->horizontalHeader()->setStretchLastSection(true);

    chkCut = new QCheckBox(QStringLiteral("C&ut texts longer than their field, as the edit fields stop typing"), XiPanel1);
    chkCut->setObjectName(QStringLiteral("chkCut"));
    chkCut->setGeometry(16, 310, 380, 22);
    cbxExisting = new QComboBox(XiPanel1);
    cbxExisting->setObjectName(QStringLiteral("cbxExisting"));
    cbxExisting->setAccessibleName(QStringLiteral("Products already in the books"));
    cbxExisting->addItem(QStringLiteral("Products in the books: leave them"), int(ExistingProducts::Leave));
    cbxExisting->addItem(QStringLiteral("Products in the books: update description and price"), int(ExistingProducts::Update));
    cbxExisting->setGeometry(404, 310, 300, 22);

    btnCheck = makeButton(XiPanel1, QStringLiteral("btnCheck"), QStringLiteral("Chec&k"), QStringLiteral("search"),
                          ButtonScheme::csNeoRose, 16, 340);
    lblResult = makeCaption(XiPanel1, QStringLiteral("lblResult"), QString(), 100, 345);
    lblResult->resize(600, 16);
    lstNotes = new QListWidget(XiPanel1);
    lstNotes->setObjectName(QStringLiteral("lstNotes"));
    lstNotes->setAccessibleName(QStringLiteral("Refused rows"));
    lstNotes->setGeometry(16, 372, 688, 140);

    btnImport = makeButton(XiPanel2, QStringLiteral("btnImport"), QStringLiteral("&Import"), QStringLiteral("save"),
                           ButtonScheme::csNeoRose, 16, 8);
    btnCancel = makeButton(XiPanel2, QStringLiteral("btnCancel"), QStringLiteral("&Cancel"), QStringLiteral("cancel"),
                           ButtonScheme::csNeoRose, 629, 8);
    connect(btnImport, &TXiButton::clicked, this, command(this, &TfrmImportFile::btnImportClick));
    connect(btnCancel, &TXiButton::clicked, this, command([this] { close(); }));
    connect(btnFile, &TXiButton::clicked, this, command(this, &TfrmImportFile::btnFileClick));
    connect(btnCheck, &TXiButton::clicked, this, command(this, &TfrmImportFile::btnCheckClick));
    for (QComboBox* box : {cbxSeparator, cbxEncoding})
        connect(box, &QComboBox::currentIndexChanged, this, command([this] {
            if (!m_filling)
                readFormat();
        }));
    connect(chkHeader, &QCheckBox::toggled, this, command([this] {
        if (!m_filling)
            readFormat();
    }));
    for (QComboBox* box : {cbxPrices, cbxExisting})
        connect(box, &QComboBox::currentIndexChanged, this, command([this] { optionsChanged(); }));
    connect(chkCut, &QCheckBox::toggled, this, command([this] { optionsChanged(); }));

    setTabOrderOf({btnFile, cbxSeparator, cbxEncoding, chkHeader, cbxPrices, grdPreview, grdMapping, chkCut, cbxExisting,
                   btnCheck, lstNotes, btnImport, btnCancel});
}

bool TfrmImportFile::Run(ImportKind kind)
{
    m_kind = kind;
    m_imported = false;
    m_path.clear();
    m_first.clear();
    clearCheck();
    const bool products = kind == ImportKind::Products;
    Label1->setText(products ? QStringLiteral("Import Products") : QStringLiteral("Import Customers"));
    setWindowTitle(products ? QStringLiteral("Import Products") : QStringLiteral("Import Customers"));
    cbxPrices->setEnabled(products);
    cbxExisting->setEnabled(products);
    edtFile->clear();
    grdPreview->clear();
    grdPreview->setRowCount(0);
    grdPreview->setColumnCount(0);
    const auto& fields = importFields(kind);
    grdMapping->setRowCount(int(fields.size()));
    m_columnBoxes.clear();
    for (size_t f = 0; f < fields.size(); ++f) {
        auto* item = new QTableWidgetItem(fields[f].caption);
        if (fields[f].required) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        grdMapping->setItem(int(f), 0, item);
        auto* box = new QComboBox(grdMapping);
        box->setAccessibleName(fields[f].caption);
        connect(box, &QComboBox::currentIndexChanged, this, command([this] {
            if (!m_filling)
                mappingChanged();
        }));
        grdMapping->setCellWidget(int(f), 1, box);
        m_columnBoxes.push_back(box);
    }
    grdMapping->resizeColumnToContents(0);
    ShowModal();
    return m_imported;
}

void TfrmImportFile::FormActivate() { btnFile->setFocus(); }

void TfrmImportFile::btnFileClick()
{
    FileDialogRequest request;
    request.caption = Label1->text();
    request.filter = QStringLiteral("CSV files (*.csv *.txt);;All files (*)");
    request.directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::optional<QString> path = fileDialog(request);
    if (path)
        openFile(*path);
}

void TfrmImportFile::openFile(const QString& path)
{
    guarded([&] {
        m_path.clear();
        clearCheck();
        edtFile->setText(path);
        m_format = detectFormat(path);
        const CsvPreview first = firstRecords(path, m_format, 1);
        m_format.header = !first.records.empty() && looksLikeHeader(m_kind, first.records.front().fields);
        m_filling = true;
        cbxSeparator->setCurrentIndex(cbxSeparator->findData(int(m_format.separator)));
        cbxEncoding->setCurrentIndex(cbxEncoding->findData(int(m_format.encoding)));
        chkHeader->setChecked(m_format.header);
        // Prices with a decimal comma come from semicolon files where the regional settings say so.
        cbxPrices->setCurrentIndex(m_format.separator != ',' && regional().decimalSeparator != QLatin1Char('.') ? 1 : 0);
        m_filling = false;
        m_path = path;
        readFormat();
    });
}

void TfrmImportFile::readFormat()
{
    if (m_path.isEmpty())
        return;
    clearCheck();
    m_format.separator = char(cbxSeparator->currentData().toInt());
    m_format.encoding = Encoding(cbxEncoding->currentData().toInt());
    m_format.header = chkHeader->isChecked();
    const CsvPreview preview = firstRecords(m_path, m_format, kPreviewRows + 1);
    m_first = preview.records;
    showPreview();
    if (!preview.error.isEmpty())
        lblResult->setText(preview.error);
}

void TfrmImportFile::showPreview()
{
    m_filling = true;
    const int columns = m_first.empty() ? 0 : int(m_first.front().fields.size());
    QStringList titles;
    for (int c = 0; c < columns; ++c)
        titles << (m_format.header ? m_first.front().fields[c] : QStringLiteral("Column %1").arg(c + 1));
    grdPreview->clear();
    grdPreview->setColumnCount(columns);
    grdPreview->setHorizontalHeaderLabels(titles);
    const size_t firstRow = m_format.header ? 1 : 0;
    const int rows = int(m_first.size() > firstRow ? m_first.size() - firstRow : 0);
    grdPreview->setRowCount(std::min(rows, kPreviewRows));
    QStringList lines;
    for (int r = 0; r < grdPreview->rowCount(); ++r) {
        const CsvRecord& rec = m_first[firstRow + size_t(r)];
        lines << QString::number(rec.line);
        for (int c = 0; c < columns && c < rec.fields.size(); ++c)
            grdPreview->setItem(r, c, new QTableWidgetItem(rec.fields[c]));
    }
    grdPreview->setVerticalHeaderLabels(lines);
    const ColumnMapping guess =
        guessMapping(m_kind, m_first.empty() ? QStringList() : m_first.front().fields, m_format.header);
    for (size_t f = 0; f < m_columnBoxes.size(); ++f) {
        QComboBox* box = m_columnBoxes[f];
        box->clear();
        box->addItem(QStringLiteral("(none)"), -1);
        for (int c = 0; c < columns; ++c)
            box->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(titles[c]), c);
        box->setCurrentIndex(box->findData(guess.columns[f]));
    }
    m_filling = false;
}

void TfrmImportFile::mappingChanged() { clearCheck(); }
void TfrmImportFile::optionsChanged() { clearCheck(); }

void TfrmImportFile::clearCheck()
{
    m_check.reset();
    btnImport->setEnabled(false);
    lblResult->clear();
    lstNotes->clear();
}

ImportOptions TfrmImportFile::options() const
{
    ImportOptions o;
    o.csv = m_format;
    for (QComboBox* box : m_columnBoxes)
        o.mapping.columns.push_back(box->currentData().toInt());
    o.prices = PriceReading(cbxPrices->currentData().toInt());
    o.existing = ExistingProducts(cbxExisting->currentData().toInt());
    o.longTexts = chkCut->isChecked() ? LongTexts::Cut : LongTexts::Refuse;
    return o;
}

void TfrmImportFile::btnCheckClick()
{
    if (m_path.isEmpty()) {
        showWarning(QStringLiteral("Please choose the file to import."));
        return;
    }
    clearCheck();
    guarded([&] {
        const ImportCheck check = checkImport(m_path, m_kind, options());
        QString text = QStringLiteral("%1 rows: %2 to import").arg(check.rows).arg(check.toInsert);
        if (m_kind == ImportKind::Products)
            text += QStringLiteral(", %1 to update, %2 in the books left as they are").arg(check.toUpdate).arg(check.unchanged);
        text += QStringLiteral(", %1 refused.").arg(check.refusedCount);
        lblResult->setText(text);
        for (const RowNote& n : check.refused)
            lstNotes->addItem(QStringLiteral("Line %1: %2").arg(n.line).arg(n.text));
        if (check.refusedCount > qint64(check.refused.size()))
            lstNotes->addItem(QStringLiteral("... and %1 more refused rows.").arg(check.refusedCount - qint64(check.refused.size())));
        for (const RowNote& n : check.existing)
            lstNotes->addItem(QStringLiteral("Line %1: %2").arg(n.line).arg(n.text));
        m_check = check;
        btnImport->setEnabled(check.toInsert + check.toUpdate > 0);
    });
}

void TfrmImportFile::btnImportClick()
{
    if (!m_check)
        return;
    bool soundRowsOnly = false;
    if (m_check->refusedCount > 0) {
        // The user's choice: the sound rows, or nothing at all.
        if (!confirm(QStringLiteral("%1 rows are refused. Import the other %2 rows and leave the refused ones out?")
                         .arg(m_check->refusedCount)
                         .arg(m_check->toInsert + m_check->toUpdate)))
            return;
        soundRowsOnly = true;
    }
    guarded([&] {
        TTable* table = DataModule1 ? (m_kind == ImportKind::Customers ? DataModule1->tblCustomer : DataModule1->tblProduct)
                                    : nullptr;
        // A pending row of the list is written (or dropped) first, as before any other action.
        if (table)
            table->CheckBrowseMode();
        const ImportCheck done = [&] {
            try {
                return runImport(m_path, m_kind, options(), *m_check, soundRowsOnly);
            } catch (...) {
                if (table)
                    table->Refresh();
                throw;
            }
        }();
        m_imported = true;
        if (table)
            table->Refresh();
        QString text = QStringLiteral("Imported %1 %2").arg(done.toInsert).arg(kindName(m_kind));
        if (done.toUpdate > 0)
            text += QStringLiteral(" and updated %1").arg(done.toUpdate);
        showInformation(text + QLatin1Char('.'));
        close();
    });
}

} // namespace zz
