// The information texts, written out in full; the web host comes from the one place that defines it.
#include "shell/info_texts.h"

#include "shell/web_pages.h"

namespace tundrix {

namespace {

std::string rulesSwedish() {
    return "Tundrix Ice-Hockey Cup\n"
           "\n"
           "Tundrix maskotar Vessa och Brum har tagits ut till landslaget! Nu väntar fem tuffa "
           "motståndarlag i Tundrix Ice-Hockey Cup, och det är du som ska leda laget till seger.\n"
           "\n"
           "MÅLET\n"
           "Erövra så mycket is som möjligt. Du åker längs rinkens kant och drar linjer ut över den fria "
           "isen. När linjen når kanten eller en tidigare linje igen stängs ett område in. Domaren kan "
           "inte stängas in, så det är alltid delen av isen utan domaren som blir din och färgas grå.\n"
           "\n"
           "En motspelare som blir instängd åker till utvisningsbåset och lämnar perioden (+25 poäng).\n"
           "\n"
           "Erövra 80 procent av isen för att vinna perioden. En match har tre perioder, och spelet går "
           "alltid vidare till nästa period, vunnen eller inte. Varje period har en motspelare till på "
           "isen, och varje ny match ger ett nytt motståndarlag.\n"
           "\n"
           "Se upp! Om domaren eller en motspelare rör linjen du håller på att dra bryts anfallet, och du "
           "åker tillbaka dit där det började. Det kostar en av dina tre chanser, och det gör också att "
           "periodens klocka går ut innan du har tagit 80 procent. När chanserna är slut är spelet över.\n"
           "\n"
           "KONTROLLER\n"
           "Titelbilden: välj maskot med piltangenterna, starta med mellanslag eller Enter.\n"
           "Piltangenterna: åk längs kanten och längs dina linjer.\n"
           "Mellanslag + piltangent: starta ett anfall ut över den fria isen.\n"
           "Bara mellanslag under ett anfall: åk tillbaka längs linjen.\n"
           "F1: starta ett nytt spel (efter matchen också Enter eller mellanslag).\n"
           "P eller Pause: paus; P, Pause eller Escape fortsätter.\n"
           "M: ljudet av och på.\n"
           "F11: helskärm av och på. Förstoring 1, 2 eller 3 gånger finns i menyn Spel.\n"
           "F10 eller Alt: öppna menyn; pilarna, Enter och Escape styr den.\n"
           "Alt-F4: avsluta.\n"
           "\n"
           "LÄTTARE SPEL\n"
           "Välj \"Lättare spel\" i menyn Tävling för sex chanser och en tillbaka för varje vunnen period, "
           "perioder på två minuter där tiden som går ut inte kostar någon chans, långsammare motspelare "
           "och 75 procent för att vinna perioden. Det gäller från nästa spel. Bara originalspelet räknas i "
           "kanalens tävlingar.\n"
           "\n"
           "Lycka till, och heja Vessa och Brum!";
}

std::string competitionRules() {
    const std::string site(CHANNEL_HOST);
    return "TÄVLINGSREGLER\n"
           "\n"
           "För att vara med i tävlingen måste du vara medlem i Lumora. Medlemskapet är gratis, och du "
           "blir medlem genom att fylla i formuläret på " +
           site +
           ".\n"
           "\n"
           "Din poäng registreras via Internet. Du behöver inte vara uppkopplad medan du spelar: spelet "
           "kommer ihåg ditt bästa resultat så länge det är igång, så det räcker att du är uppkopplad när "
           "du registrerar det. Välj \"Registrera high-score\" i menyn \"Koppla upp\" när spelet är slut.\n"
           "\n"
           "Varje dag och varje vecka lottas priser ut bland de bästa resultaten.\n"
           "\n"
           "Bonustävling: värva dina vänner till Lumora! En vän som blir medlem ska ange din e-postadress "
           "som värvare, så räknas värvningen till dig.\n"
           "\n"
           "Vinnarna presenteras på " +
           site +
           ".\n"
           "\n"
           "Endast personer bosatta i Sverige som har lämnat korrekta uppgifter kan vinna. Eventuell "
           "vinstskatt betalas av vinnaren.";
}

std::string aboutSwedish() {
    const std::string site(CHANNEL_HOST);
    return "OM Lumora\n"
           "\n"
           "Lumora är en spelkanal på Internet med gratis spel. Spelen betalas av företag som "
           "marknadsför sig genom dem, så du spelar alltid utan kostnad.\n"
           "\n"
           "Medlemskapet är gratis. Som medlem kan du registrera dina resultat, utmana dina vänner och "
           "vara med och tävla om priser varje dag och varje vecka.\n"
           "\n"
           "Tundrix Ice-Hockey Cup görs för Tundrix av Lumoras eget spelteam, som skapar kanalens spel "
           "från idé till färdig grafik och ljud.\n"
           "\n"
           "Välkommen till " +
           site + "!";
}

std::string aboutEnglish() {
    const std::string site(CHANNEL_HOST);
    return "ABOUT Lumora\n"
           "\n"
           "Lumora is a games channel on the Internet with free games. The games are paid for by "
           "companies that market themselves through them, so you always play free of charge.\n"
           "\n"
           "Membership is free. As a member you can register your scores, challenge your friends and "
           "take part in daily and weekly prize competitions. The competitions are open to members "
           "living in Sweden only.\n"
           "\n"
           "Tundrix Ice-Hockey Cup is made for Tundrix by Lumora's own game team, who create the "
           "channel's games from the first idea to the finished pictures and sounds.\n"
           "\n"
           "Welcome to " +
           site + "!";
}

std::string rulesEnglish() {
    return "Tundrix Ice-Hockey Cup\n"
           "\n"
           "Tundrix's mascots Vessa and Brum have joined the national team! Five tough opposing teams are "
           "waiting in the Tundrix Ice-Hockey Cup, and you are the one to lead the team to victory.\n"
           "\n"
           "THE OBJECTIVE\n"
           "Claim as much ice as possible. Skate along the edge of the rink and draw lines across the "
           "free ice. When a line reaches the edge or an earlier line again, an area is enclosed. The "
           "referee cannot be enclosed, so the part of the ice without the referee is the part you "
           "claim, and it turns grey.\n"
           "\n"
           "An opponent who is enclosed goes to the penalty box and leaves the period (+25 points).\n"
           "\n"
           "Claim 80 percent of the ice to win the period. A match has three periods, and the game always "
           "goes on to the next period, won or not. Every period brings one more opponent onto the ice, "
           "and every new match a new opposing team.\n"
           "\n"
           "Watch out! If the referee or an opponent touches the line you are drawing, the raid is cut "
           "short and you are sent back to where it began. That costs one of your three chances, and so "
           "does the period clock running out before you have claimed 80 percent. When no chances are "
           "left, the game is over.\n"
           "\n"
           "CONTROLS\n"
           "Title screen: choose your mascot with the arrow keys, start with Space or Enter.\n"
           "Arrow keys: skate along the edge and along your lines.\n"
           "Space + arrow key: start a raid across the free ice.\n"
           "Space alone during a raid: skate back along the line.\n"
           "F1: start a new game (after a game also Enter or Space).\n"
           "P or Pause: pause; P, Pause or Escape resumes.\n"
           "M: sound off and on.\n"
           "F11: full screen off and on. Zoom 1, 2 or 3 times is in the In English menu.\n"
           "F10 or Alt: open the menu; the arrows, Enter and Escape work it.\n"
           "Alt-F4: quit.\n"
           "\n"
           "EASIER GAME\n"
           "Choose \"Easier game\" in the More menu for six chances and one back for every period "
           "won, periods of two minutes where time running out costs no chance, slower opponents and 75 "
           "percent to win the period. It counts from the next game. Only the original game counts in the "
           "channel's competitions.\n"
           "\n"
           "Good luck, and go Vessa and Brum!";
}

} // namespace

std::string infoText(int index) {
    switch (index) {
    case 0:
        return rulesSwedish();
    case 1:
        return competitionRules();
    case 2:
        return aboutSwedish();
    case 3:
        return aboutEnglish();
    case 4:
        return rulesEnglish();
    default:
        return {};
    }
}

} // namespace tundrix
