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
           "Erövra 80 procent av isen för att vinna perioden. Tre vunna perioder vinner matchen, och "
           "varje ny match ger ett nytt motståndarlag med en spelare till på isen i varje period.\n"
           "\n"
           "Se upp! Om domaren eller en motspelare rör linjen du håller på att dra bryts anfallet, och du "
           "åker tillbaka dit där det började. Det kostar en av dina tre chanser, och det gör också att "
           "periodens klocka går ut innan du har tagit 80 procent. När chanserna är slut är spelet över.\n"
           "\n"
           "KONTROLLER\n"
           "Titelbilden: välj maskot med piltangenterna, starta med mellanslag.\n"
           "Piltangenterna: åk längs kanten och längs dina linjer.\n"
           "Mellanslag + piltangent: starta ett anfall ut över den fria isen.\n"
           "Bara mellanslag under ett anfall: åk tillbaka längs linjen.\n"
           "F1: starta ett nytt spel.\n"
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
           "Claim 80 percent of the ice to win the period. Three periods win the match, and every new "
           "match brings a new opposing team with one more player on the ice in each period.\n"
           "\n"
           "Watch out! If the referee or an opponent touches the line you are drawing, the raid is cut "
           "short and you are sent back to where it began. That costs one of your three chances, and so "
           "does the period clock running out before you have claimed 80 percent. When no chances are "
           "left, the game is over.\n"
           "\n"
           "CONTROLS\n"
           "Title screen: choose your mascot with the arrow keys, start with Space.\n"
           "Arrow keys: skate along the edge and along your lines.\n"
           "Space + arrow key: start a raid across the free ice.\n"
           "Space alone during a raid: skate back along the line.\n"
           "F1: start a new game.\n"
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
