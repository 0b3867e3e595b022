// Another program for the end-to-end run: a small window titled "File Source" that starts a
// drag of the file named on its command line when the mouse is pressed on it, as a file
// manager does.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

class Source : public QLabel {
public:
    explicit Source(QString file) : QLabel(QStringLiteral("drag the file")), m_file(std::move(file))
    {
        setWindowTitle(QStringLiteral("File Source"));
        resize(160, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(m_file)});
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    }

private:
    QString m_file;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source s(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    s.show();
    return app.exec();
}
