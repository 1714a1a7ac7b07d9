-- A league file of schema version 3, as vorskal-tally wrote it before games were known by
-- their logs: the sample game recorded (game 1), then the day-first game of the scenario
-- dates-day-first (game 2), which made the season's dates read day first: game 1 was
-- re-dated 2026-06-12. Folders renamed games/N.
PRAGMA foreign_keys=OFF;
BEGIN TRANSACTION;
CREATE TABLE games (
    id INTEGER PRIMARY KEY,
    game_key TEXT NOT NULL UNIQUE,
    origin TEXT NOT NULL CHECK (origin IN ('tally', 'import')),
    report_sha256 TEXT UNIQUE,
    played_on TEXT,
    game_date TEXT NOT NULL DEFAULT '',
    first_time TEXT NOT NULL DEFAULT '',
    last_time TEXT NOT NULL DEFAULT '',
    started_at TEXT NOT NULL DEFAULT '',
    directory TEXT NOT NULL DEFAULT '',
    map TEXT NOT NULL,
    kill_points INTEGER NOT NULL,
    death_points INTEGER NOT NULL,
    over_max_correction INTEGER NOT NULL,
    multi_death_correction INTEGER NOT NULL,
    fighter_target_correction INTEGER NOT NULL,
    red_boxed_only INTEGER NOT NULL,
    tool_name TEXT NOT NULL DEFAULT '',
    tool_version TEXT NOT NULL DEFAULT '',
    recorded_at TEXT NOT NULL
, season TEXT NOT NULL DEFAULT '1', removed_at TEXT);
INSERT INTO games VALUES(1,'501ef798dbc4d24b508e0ee0f87504e87ba098f20c03913c158fc33e113a7051','tally','f1f547eb7347c8a27af346c25968764bfb5cfea0c93a5b346bf2b92aad4f2de3','2026-06-12','12/06/26','20:00:00','21:30:00','2026-12-06T20:15:03+00:00','games/1','Verdun',10,-5,1,1,1,1,'vorskal-tally','3.40','2026-12-06T20:15:03Z','1',NULL);
INSERT INTO games VALUES(2,'cfb524616a045c0667cdaf764bef0ade5556a101ca71d206c5e412bd2e8182a2','tally','e826447e6ff6c1b614dcd68585a555f5e9d97d427873cca5ad660b7882b58349','2026-08-20','20/08/26','20:00:00','00:00:05','2026-12-06T20:15:03+00:00','games/2','Verdun',10,-5,1,1,1,1,'vorskal-tally','3.40','2026-12-06T20:15:03Z','1',NULL);
CREATE TABLE type_values (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    type TEXT NOT NULL,
    points INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
);
INSERT INTO type_values VALUES(1,0,'Bridge',15);
INSERT INTO type_values VALUES(1,1,'Depot',10);
INSERT INTO type_values VALUES(1,2,'Hangar',20);
INSERT INTO type_values VALUES(1,3,'Factory',25);
INSERT INTO type_values VALUES(1,4,'Railyard',30);
INSERT INTO type_values VALUES(1,5,'Battery',12);
INSERT INTO type_values VALUES(1,6,'Aerodrome',40);
INSERT INTO type_values VALUES(1,7,'Balloon',50);
INSERT INTO type_values VALUES(2,0,'Bridge',15);
INSERT INTO type_values VALUES(2,1,'Depot',7);
INSERT INTO type_values VALUES(2,2,'Factory',20);
INSERT INTO type_values VALUES(2,3,'Hangar',9);
INSERT INTO type_values VALUES(2,4,'Truck',2);
INSERT INTO type_values VALUES(2,5,'Tank',3);
INSERT INTO type_values VALUES(2,6,'Gun',4);
INSERT INTO type_values VALUES(2,7,'Train',6);
CREATE TABLE team_totals (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    team TEXT NOT NULL CHECK (team IN ('Allied', 'Hun')),
    kills INTEGER NOT NULL,
    deaths INTEGER NOT NULL,
    targets_destroyed INTEGER NOT NULL,
    target_points INTEGER NOT NULL,
    score INTEGER NOT NULL,
    over_max_penalty INTEGER NOT NULL,
    final INTEGER NOT NULL,
    PRIMARY KEY (game_id, team)
);
INSERT INTO team_totals VALUES(1,'Allied',8,12,3,65,85,6,79);
INSERT INTO team_totals VALUES(1,'Hun',11,11,1,10,65,0,65);
INSERT INTO team_totals VALUES(2,'Allied',5,0,0,0,50,0,50);
INSERT INTO team_totals VALUES(2,'Hun',0,5,0,0,-25,0,-25);
CREATE TABLE pilots (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    team TEXT NOT NULL CHECK (team IN ('Allied', 'Hun', 'unknown')),
    team_code INTEGER NOT NULL,
    kills INTEGER NOT NULL,
    deaths INTEGER NOT NULL,
    targets_destroyed INTEGER NOT NULL,
    target_points INTEGER NOT NULL,
    score INTEGER NOT NULL,
    locations TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
);
INSERT INTO pilots VALUES(1,0,'Biggles','Allied',1,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,1,'Mannock','Allied',1,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,2,'Snoopy','Allied',1,1,1,0,0,5,'#12');
INSERT INTO pilots VALUES(1,3,'Guynemer','Allied',1,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(1,4,'Pips','Allied',1,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(1,5,'Luke','Allied',1,0,2,0,0,-10,'');
INSERT INTO pilots VALUES(1,6,'Rickenbacker','Allied',1,1,0,0,0,10,'');
INSERT INTO pilots VALUES(1,7,'Turncoat_Tom','Allied',1,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,8,'Barker','Allied',1,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(1,9,'Fonck','Allied',1,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,10,'McCudden','Allied',1,1,0,0,0,10,'');
INSERT INTO pilots VALUES(1,11,'Ball','Allied',1,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,12,'Hawker','Allied',1,0,1,1,20,15,'#25');
INSERT INTO pilots VALUES(1,13,'Nungesser','Allied',1,0,0,2,45,45,replace('#123\n#58','\n',char(10)));
INSERT INTO pilots VALUES(1,14,'Coppens','Allied',1,0,0,0,0,0,'');
INSERT INTO pilots VALUES(1,15,'Udet','Hun',2,2,1,0,0,15,'');
INSERT INTO pilots VALUES(1,16,'Voss','Hun',2,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,17,'Baron_Red','Hun',2,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,18,'Boelcke','Hun',2,1,0,1,10,20,' #7');
INSERT INTO pilots VALUES(1,19,'Jacobs','Hun',2,2,0,0,0,20,'');
INSERT INTO pilots VALUES(1,20,'Turncoat_Tom','Hun',2,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(1,21,'Hans_Gruber','Hun',2,0,2,0,0,-10,'');
INSERT INTO pilots VALUES(1,22,'Immelmann','Hun',2,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(1,23,'Loewenhardt','Hun',2,2,1,0,0,15,'');
INSERT INTO pilots VALUES(1,24,'Goering','Hun',2,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,25,'Max_Stein','Hun',2,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(1,26,'Berthold','Hun',2,1,1,0,0,5,'');
INSERT INTO pilots VALUES(1,27,'Archie','unknown',0,2,0,0,0,20,'');
INSERT INTO pilots VALUES(2,0,'Snoopy','Allied',1,5,0,0,0,50,'');
INSERT INTO pilots VALUES(2,1,'Baron_Red','Hun',2,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(2,2,'Hans','Hun',2,0,2,0,0,-10,'');
INSERT INTO pilots VALUES(2,3,'Otto','Hun',2,0,1,0,0,-5,'');
INSERT INTO pilots VALUES(2,4,'Karl','Hun',2,0,1,0,0,-5,'');
CREATE TABLE corrections (
    id INTEGER PRIMARY KEY,
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    kind TEXT NOT NULL,
    applied INTEGER NOT NULL
, note TEXT NOT NULL DEFAULT '');
INSERT INTO corrections VALUES(1,1,0,'over-max',1,'');
INSERT INTO corrections VALUES(2,1,1,'over-max',1,'');
INSERT INTO corrections VALUES(3,1,2,'multi-death',1,'');
INSERT INTO corrections VALUES(4,1,3,'fighter-target',0,'destroyed before the pilot was seen entering: the aircraft is unknown');
INSERT INTO corrections VALUES(5,1,4,'fighter-target',1,'destroyed by a fighter');
INSERT INTO corrections VALUES(6,1,5,'fighter-target',0,'destroyed by a fighter, but not credited to this pilot: nothing to take back');
INSERT INTO corrections VALUES(7,1,6,'fighter-target',0,'destroyed by a fighter, but not credited to this pilot: nothing to take back');
INSERT INTO corrections VALUES(8,2,0,'multi-death',1,'');
INSERT INTO corrections VALUES(9,2,1,'multi-death',1,'');
INSERT INTO corrections VALUES(10,2,2,'multi-death',1,'');
CREATE TABLE correction_lines (
    correction_id INTEGER NOT NULL REFERENCES corrections (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    line INTEGER NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY (correction_id, position)
);
INSERT INTO correction_lines VALUES(1,0,115,'12/06/26 20:44:30 Player |Lufbery has entered the arena, flying a NIEUPORT_17');
INSERT INTO correction_lines VALUES(1,1,128,'12/06/26 20:51:00 Player |Biggles has left the arena');
INSERT INTO correction_lines VALUES(2,0,106,'12/06/26 20:40:00 Player |Pips (UDP:192.0.2.95:2300) has entered the arena, flying a SPAD_XIII');
INSERT INTO correction_lines VALUES(2,1,129,'12/06/26 20:52:23 Player |Collishaw has left the arena');
INSERT INTO correction_lines VALUES(3,0,57,'12/06/26 20:15:03 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(3,1,58,'12/06/26 20:15:15 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(4,0,17,'12/06/26 20:02:05 Target Hangar #25 destroyed by Hawker.');
INSERT INTO correction_lines VALUES(5,0,62,'12/06/26 20:16:00 Target Bridge #12 destroyed by Snoopy.');
INSERT INTO correction_lines VALUES(6,0,85,'12/06/26 20:29:10 Target Factory #40 destroyed by Jacobs.');
INSERT INTO correction_lines VALUES(7,0,156,'12/06/26 21:10:00 Target Battery #205 destroyed by Voss.');
INSERT INTO correction_lines VALUES(8,0,1,'20/08/26 20:00:00 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(8,1,2,'20/08/26 20:00:20 Kill of Baron_Red       FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(9,0,5,'20/08/26 20:20:00 Kill of Otto            FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(9,1,6,'20/08/26 20:20:00 Kill of Otto            FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(10,0,7,'20/08/26 23:59:55 Kill of Karl            FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
INSERT INTO correction_lines VALUES(10,1,8,'21/08/26 00:00:05 Kill of Karl            FOKKER_DVII awarded to Snoopy          SOPWITH_CAMEL');
CREATE TABLE correction_moves (
    correction_id INTEGER NOT NULL REFERENCES corrections (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    pilot TEXT NOT NULL,
    team TEXT NOT NULL,
    field TEXT NOT NULL,
    by_amount INTEGER NOT NULL,
    points INTEGER NOT NULL,
    PRIMARY KEY (correction_id, position)
);
INSERT INTO correction_moves VALUES(1,0,'','Allied','overMaxPenalty',2,-2);
INSERT INTO correction_moves VALUES(2,0,'','Allied','overMaxPenalty',4,-4);
INSERT INTO correction_moves VALUES(3,0,'Baron_Red','Hun','deaths',-1,5);
INSERT INTO correction_moves VALUES(3,1,'Snoopy','Allied','kills',-1,-10);
INSERT INTO correction_moves VALUES(5,0,'Snoopy','Allied','targetsDestroyed',-1,0);
INSERT INTO correction_moves VALUES(5,1,'Snoopy','Allied','targetPoints',-15,-15);
INSERT INTO correction_moves VALUES(8,0,'Baron_Red','Hun','deaths',-1,5);
INSERT INTO correction_moves VALUES(8,1,'Snoopy','Allied','kills',-1,-10);
INSERT INTO correction_moves VALUES(9,0,'Otto','Hun','deaths',-1,5);
INSERT INTO correction_moves VALUES(9,1,'Snoopy','Allied','kills',-1,-10);
INSERT INTO correction_moves VALUES(10,0,'Karl','Hun','deaths',-1,5);
INSERT INTO correction_moves VALUES(10,1,'Snoopy','Allied','kills',-1,-10);
CREATE TABLE warnings (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    code TEXT NOT NULL,
    file TEXT NOT NULL,
    line INTEGER NOT NULL,
    message TEXT NOT NULL, subject TEXT NOT NULL DEFAULT '', accepted INTEGER NOT NULL DEFAULT 0 CHECK (accepted IN (0, 1)),
    PRIMARY KEY (game_id, position)
);
INSERT INTO warnings VALUES(1,0,'unknown-aircraft','ux7server.log',94,'pilot "Archie" is listed under "Unable to determine team" and counts for neither side: the kill line names no aircraft after the pilot, as for the anti-aircraft guns','Archie',1);
CREATE TABLE inputs (
    game_id INTEGER NOT NULL REFERENCES games (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    bytes INTEGER NOT NULL,
    lines INTEGER NOT NULL,
    sha256 TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
);
INSERT INTO inputs VALUES(1,0,'ux7server0.log',6296,86,'');
INSERT INTO inputs VALUES(1,1,'ux7server1.log',3474,53,'');
INSERT INTO inputs VALUES(1,2,'ux7server2.log',2701,48,'');
INSERT INTO inputs VALUES(1,3,'vorskal.ini',242,21,'ef9c28ecfa0098d32160f859865086cc938690ee96fcb49592e6276d3567b375');
INSERT INTO inputs VALUES(1,4,'ux7server.log',12471,187,'5c9bc78978624cd8603e4d0fea6f5e8dd2500a88a4e4066127535b971f95026d');
INSERT INTO inputs VALUES(2,0,'ux7server0.log',768,8,'');
INSERT INTO inputs VALUES(2,1,'vorskal.ini',179,18,'2cd86c1fdbb7b0d16e8204b8869a0e8a37c1c6f12ba6d60b7c792da86cef4bc8');
INSERT INTO inputs VALUES(2,2,'ux7server.log',768,8,'37c16639f47f1d86aea416f35d8b58f0feaedc3fd7b4d55cc1ec4c9d8392a590');
CREATE TABLE settings (
    name TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
CREATE INDEX games_by_date ON games (played_on);
CREATE INDEX games_by_map ON games (map);
CREATE INDEX pilots_by_name ON pilots (name, team);
CREATE INDEX corrections_by_game ON corrections (game_id);
CREATE INDEX games_by_season ON games (season, played_on);
COMMIT;
PRAGMA application_id = 1448299340;
PRAGMA user_version = 3;
