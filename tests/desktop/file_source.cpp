// A stand-in for a file manager on the test's X server: a window titled "Files" that drags the
// files named on its command line (as text/uri-list) once the mouse is pressed on it and moved.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class FileSource : public QWidget {
  public:
    explicit FileSource(QList<QUrl> files) : files_(std::move(files)) {}

  protected:
    void mousePressEvent(QMouseEvent* event) override { pressedAt_ = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) ||
            (event->position().toPoint() - pressedAt_).manhattanLength() <
                QApplication::startDragDistance())
            return;
        auto* data = new QMimeData;
        data->setUrls(files_);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

  private:
    QList<QUrl> files_;
    QPoint pressedAt_;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QList<QUrl> files;
    for (const QString& file : app.arguments().mid(1))
        files.append(QUrl::fromLocalFile(file));
    FileSource window(files);
    window.setWindowTitle(QStringLiteral("Files"));
    window.setGeometry(840, 600, 160, 120);
    window.show();
    return QApplication::exec();
}
