// The stand-in for the game: a window titled "Zorv Battle" that shows the arguments it was
// started with. With ZORV_GAME_RECORD set it also writes them there, one per line, and with
// ZORV_GAME_SECONDS it closes itself after that many seconds. With ZORV_GAME_DIGEST naming a file
// (relative to the game folder) it reads that file at its start, as a game reads its data, and
// adds the file's MD5 digest to the record as a last line (empty when it cannot be read).
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string DigestOf(const char* path)
{
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path, &contents, &length, nullptr))
        return std::string();
    gchar* digest = g_compute_checksum_for_data(G_CHECKSUM_MD5, reinterpret_cast<const guchar*>(contents), length);
    std::string text = digest;
    g_free(digest);
    g_free(contents);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const char* record = std::getenv("ZORV_GAME_RECORD")) {
        if (FILE* out = std::fopen(record, "w")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(out, "%s\n", argv[i]);
            if (const char* digested = std::getenv("ZORV_GAME_DIGEST"))
                std::fprintf(out, "%s\n", DigestOf(digested).c_str());
            std::fclose(out);
        }
    }
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Zorv Battle");
    gtk_window_set_default_size(GTK_WINDOW(window), 640, 360);
    std::string text = "<span size='xx-large' weight='bold'>Zorv Battle</span>\n\n"
                       "The game was started with " + std::to_string(argc - 1) + " arguments:\n";
    for (int i = 1; i < argc; ++i) {
        gchar* escaped = g_markup_escape_text(argv[i], -1);
        text += "\n<tt>" + std::to_string(i) + ": [" + escaped + "]</tt>";
        g_free(escaped);
    }
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_markup(GTK_LABEL(label), text.c_str());
    gtk_container_add(GTK_CONTAINER(window), label);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    if (const char* seconds = std::getenv("ZORV_GAME_SECONDS"))
        g_timeout_add_seconds(static_cast<guint>(std::atoi(seconds)), [](gpointer) -> gboolean {
            gtk_main_quit();
            return G_SOURCE_REMOVE;
        }, nullptr);
    gtk_main();
    return 0;
}
